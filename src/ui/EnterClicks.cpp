#include "EnterClicks.h"

#include <QKeyEvent>
#include <QPushButton>

namespace velmora::ui {
namespace {

class EnterClicksButton : public QObject
{
public:
    explicit EnterClicksButton(QPushButton* button)
        : QObject(button)
        , m_button(button)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (m_button->isEnabled())
                    m_button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPushButton* m_button;
};

} // namespace

void ClickOnEnter(QPushButton* button, std::initializer_list<QWidget*> fields)
{
    auto* filter = new EnterClicksButton(button);
    for (QWidget* field : fields)
        field->installEventFilter(filter);
}

} // namespace velmora::ui
