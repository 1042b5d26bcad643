#include "NumberField.h"

#include <QLineEdit>
#include <QToolTip>

namespace velmora::ui {

QString RefusedNumberHint(data::CopiedNumberKind kind)
{
    switch (kind) {
    case data::CopiedNumberKind::Distance:
        return QStringLiteral("運搬距離として読めないため入力しませんでした。\n数字と小数点（末尾の km は可）で入力してください。");
    case data::CopiedNumberKind::Fee:
        return QStringLiteral("処分費として読めないため入力しませんでした。\n数字（3桁ごとの「,」と末尾の「円」は可）で入力してください。");
    case data::CopiedNumberKind::Coordinate:
        break;
    }
    return QStringLiteral("座標として読めないため入力しませんでした。\n数字と小数点（先頭に「-」）で入力してください。");
}

void MakeNumberField(QLineEdit* edit, const KeyFilterValidator::KeyRule& rule, data::CopiedNumberKind kind)
{
    auto* validator = new KeyFilterValidator(
        rule, edit, [kind](const QString& text) { return data::ReadCopiedNumber(text, kind); });
    edit->setValidator(validator);
    QObject::connect(edit, &QLineEdit::inputRejected, edit, [edit, validator, kind] {
        // Told before the field undoes the change. The program's own writes
        // are never undone and need no tip: only a refused change leaves the
        // field holding a text it takes once the change is gone.
        QMetaObject::invokeMethod(
            edit,
            [edit, validator, kind] {
                QString text = edit->text();
                int pos = 0;
                if (validator->validate(text, pos) != QValidator::Invalid)
                    QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())), RefusedNumberHint(kind), edit);
            },
            Qt::QueuedConnection);
    });
}

} // namespace velmora::ui
