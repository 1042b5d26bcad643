#pragma once

#include <QTabBar>
#include <QTabWidget>

namespace velmora::app {

// Tabs whose captions the program draws itself: button-face fill, black
// caption, the active one 4 pixels further right than the others.
class PageTabBar : public QTabBar
{
    Q_OBJECT

public:
    static constexpr int ActiveOffset = 8;
    static constexpr int InactiveOffset = 4;
    static constexpr int TopOffset = 4;

    explicit PageTabBar(QWidget* parent = nullptr);

    // Where the caption of tab `index` is drawn (its top-left corner).
    QPoint captionOrigin(int index) const;

    // True while a change of page comes from the user's mouse or keyboard.
    bool userAction() const { return m_userAction > 0; }

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class PageControl;
    int m_userAction = 0;
};

// The three pages of the main window. Pages changed by the program never
// raise pageChangedByUser; only the estimator's own switching does.
class PageControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit PageControl(QWidget* parent = nullptr);

    PageTabBar* pageTabBar() const { return m_tabBar; }

Q_SIGNALS:
    void pageChangedByUser(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    PageTabBar* m_tabBar;
};

} // namespace velmora::app
