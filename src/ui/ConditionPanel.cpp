#include "ConditionPanel.h"

#include "DropDownComboBox.h"
#include "KeyCharacter.h"
#include "NumberField.h"
#include "calc/CCalcConditionData.h"
#include "calc/PackageConditions.h"
#include "data/CHimokuRowSource.h"
#include "data/CSPGaraHasseiComboBox.h"
#include "data/CSPHimokuRowSource.h"
#include "data/CSPSyubetsuComboBox.h"
#include "data/CSPTsumikomiComboBox.h"
#include "data/CSyubetsuComboBox.h"
#include "data/DefaultDistrict.h"
#include "data/NumberText.h"
#include "data/Paths.h"
#include "platform/MessageBox.h"
#include "ComboBoxTarget.h"
#include "Placement.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace velmora::ui {
namespace {

constexpr int HintDurationMs = 60000;

// A caption left of a field: as high as the field and centred on it.
void besideField(QLabel* label)
{
    label->resize(label->width(), 21);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void selectIndex(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

} // namespace

ConditionPanel::ConditionPanel(MainWindowState& state, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("PanelCondition"));
    setFixedWidth(PanelWidth);

    LabelVerJa = MakeLabel(QStringLiteral("LabelVerJa"), QStringLiteral("未設定"), this, {8, 4});
    LabelVerEn = MakeLabel(QStringLiteral("LabelVerEn"), QStringLiteral("未設定"), this, {150, 4});
    for (QLabel* l : {LabelVerJa, LabelVerEn}) {
        QFont f = l->font();
        f.setPixelSize(12);
        l->setFont(f);
        l->setFixedSize(130, 18);
    }

    GroupBoxCalcMode = Place(new QGroupBox(QStringLiteral("計算方式の変更"), this), QStringLiteral("GroupBoxCalcMode"),
                             QRect(4, 26, 281, 46));
    RadioButtonSP = Place(new QRadioButton(QStringLiteral("施工パッケージ方式"), GroupBoxCalcMode),
                          QStringLiteral("RadioButtonSP"), QRect(10, 20, 134, 20));
    RadioButtonBugakari = Place(new QRadioButton(QStringLiteral("歩掛方式"), GroupBoxCalcMode),
                                QStringLiteral("RadioButtonBugakari"), QRect(150, 20, 120, 20));

    LabelArea = MakeLabel(QStringLiteral("LabelArea"), QStringLiteral("地区"), this, {8, 80});
    besideField(LabelArea);
    ComboBoxArea = makeCombo(QStringLiteral("ComboBoxArea"), this, QRect(70, 80, 130, 21));
    ButtonAreaSave = Place(new QPushButton(QStringLiteral("初期地区保存"), this), QStringLiteral("ButtonAreaSave"),
                           QRect(204, 79, 80, 23));

    LabelX = MakeLabel(QStringLiteral("LabelX"), QStringLiteral("X座標"), this, {8, 108});
    besideField(LabelX);
    EditX = Place(new QLineEdit(this), QStringLiteral("EditX"), QRect(70, 108, 130, 21));
    LabelY = MakeLabel(QStringLiteral("LabelY"), QStringLiteral("Y座標"), this, {8, 132});
    besideField(LabelY);
    EditY = Place(new QLineEdit(this), QStringLiteral("EditY"), QRect(70, 132, 130, 21));
    ButtonGetCoord = Place(new QPushButton(QStringLiteral("座標取得"), this), QStringLiteral("ButtonGetCoord"),
                           QRect(204, 107, 80, 47));

    LabelSyobunHimoku = MakeLabel(QStringLiteral("LabelSyobunHimoku"), QStringLiteral("処分費目"), this, {8, 164});
    ComboBoxSyobunHimoku = makeCombo(QStringLiteral("ComboBoxSyobunHimoku"), this, QRect(8, 181, 276, 21));
    LabelUnpanSyubetsu = MakeLabel(QStringLiteral("LabelUnpanSyubetsu"), QStringLiteral("運搬種別"), this, {8, 212});
    ComboBoxUnpanSyubetsu = makeCombo(QStringLiteral("ComboBoxUnpanSyubetsu"), this, QRect(8, 229, 276, 21));

    PanelGaraUnpan = Place(new QWidget(this), QStringLiteral("PanelGaraUnpan"), QRect(1, GaraUnpanTop, 287, 82));
    LabelGaraHassei = MakeLabel(QStringLiteral("LabelGaraHassei"), QStringLiteral("殻発生作業"), PanelGaraUnpan, {7, 0});
    ComboBoxGaraHassei = makeCombo(QStringLiteral("ComboBoxGaraHassei"), PanelGaraUnpan, QRect(7, 16, 276, 21));
    LabelTsumikomi = MakeLabel(QStringLiteral("LabelTsumikomi"), QStringLiteral("積込工法区分"), PanelGaraUnpan, {7, 42});
    ComboBoxTsumikomi = makeCombo(QStringLiteral("ComboBoxTsumikomi"), PanelGaraUnpan, QRect(7, 58, 276, 21));

    PanelDensen = Place(new QWidget(this), QStringLiteral("PanelDensen"), QRect(0, DetailTop, PanelWidth, 33));
    LabelSekisai = MakeLabel(QStringLiteral("LabelSekisai"), QStringLiteral("積載区分"), PanelDensen, {8, 6});
    besideField(LabelSekisai);
    ComboBoxSekisai = makeCombo(QStringLiteral("ComboBoxSekisai"), PanelDensen, QRect(86, 6, 198, 21));
    PanelDensen->hide();

    PanelJinkai = Place(new QWidget(this), QStringLiteral("PanelJinkai"), QRect(0, DetailTop, PanelWidth, 65));
    LabelJinkai = MakeLabel(QStringLiteral("LabelJinkai"), QStringLiteral("塵芥の種類"), PanelJinkai, {8, 6});
    besideField(LabelJinkai);
    ComboBoxJinkai = makeCombo(QStringLiteral("ComboBoxJinkai"), PanelJinkai, QRect(86, 6, 198, 21));
    RadioButtonDTCarry = Place(new QRadioButton(QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ持込"), PanelJinkai),
                               QStringLiteral("RadioButtonDTCarry"), QRect(8, 38, 134, 20));
    RadioButtonDTLend = Place(new QRadioButton(QStringLiteral("ﾀﾞﾝﾌﾟﾄﾗｯｸ貸与"), PanelJinkai),
                              QStringLiteral("RadioButtonDTLend"), QRect(150, 38, 134, 20));
    PanelJinkai->hide();

    PanelCommon = Place(new QWidget(this), QStringLiteral("PanelCommon"), QRect(0, CommonTopDesign, PanelWidth, CommonHeight));
    RadioButtonDIDTrue = Place(new QRadioButton(QStringLiteral("DID区間有"), PanelCommon),
                               QStringLiteral("RadioButtonDIDTrue"), QRect(8, 4, 134, 20));
    RadioButtonDIDFalse = Place(new QRadioButton(QStringLiteral("DID区間無"), PanelCommon),
                                QStringLiteral("RadioButtonDIDFalse"), QRect(150, 4, 134, 20));
    ButtonCalc = Place(new QPushButton(QStringLiteral("計算実行"), PanelCommon), QStringLiteral("ButtonCalc"),
                       QRect(8, 28, 134, 32));
    ButtonCloseMainTab = Place(new QPushButton(QStringLiteral("プログラムの終了"), PanelCommon),
                               QStringLiteral("ButtonCloseMainTab"), QRect(150, 28, 134, 32));
    ButtonNyusatsuInfo = Place(new QPushButton(QStringLiteral("入札情報サービスシステム（公共調達）"), PanelCommon),
                               QStringLiteral("ButtonNyusatsuInfo"), QRect(8, 64, 276, 26));
    LabelExplain = Place(new QLabel(QStringLiteral("未設定"), PanelCommon), QStringLiteral("LabelExplain"),
                         QRect(8, 96, 276, 36));
    LabelExplain->setWordWrap(true);
    LabelExplain->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColour(LabelExplain, Qt::red);

    for (QLineEdit* edit : {EditX, EditY}) {
        // Only typed characters that passed the key filter may reach the
        // fields; an input method would bypass it.
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->installEventFilter(this);
        MakeNumberField(edit, &ConditionPanel::CoordKeyAccepted, velmora::data::CopiedNumberKind::Coordinate);
        connect(edit, &QLineEdit::textChanged, this, &ConditionPanel::EditCoordChange);
    }

    connect(RadioButtonSP, &QRadioButton::clicked, this, &ConditionPanel::RadioButtonSPClick);
    connect(RadioButtonBugakari, &QRadioButton::clicked, this, &ConditionPanel::RadioButtonBugakariClick);
    connect(ComboBoxSyobunHimoku, &QComboBox::activated, this, &ConditionPanel::ComboBoxSyobunHimokuChange);
    // The drop-down lists report every pick, the item already selected
    // included; only a new selection may rebuild the choices below it.
    connect(ComboBoxUnpanSyubetsu, &QComboBox::activated, this, [this] {
        if (ListsBelowTransportType() != listsBelowTransportType)
            ComboBoxUnpanSyubetsuChange();
    });
    connect(ComboBoxGaraHassei, &QComboBox::activated, this, [this] {
        if (ListsBelowDebrisWork() != listsBelowDebrisWork)
            ComboBoxGaraHasseiChange();
    });
    connect(ComboBoxTsumikomi, &QComboBox::activated, this, &ConditionPanel::ComboBoxTsumikomiChange);
    connect(ButtonCalc, &QPushButton::clicked, this, &ConditionPanel::ButtonCalcClick);
    connect(ButtonAreaSave, &QPushButton::clicked, this, &ConditionPanel::ButtonAreaSaveClick);
    for (DropDownComboBox* combo : {ComboBoxArea, ComboBoxSyobunHimoku, ComboBoxUnpanSyubetsu, ComboBoxGaraHassei,
                                    ComboBoxTsumikomi, ComboBoxSekisai, ComboBoxJinkai}) {
        connect(combo, &DropDownComboBox::droppedDown, this, [this, combo] { ComboBoxDropDown(combo); });
    }
}

DropDownComboBox* ConditionPanel::makeCombo(const QString& name, QWidget* parent, const QRect& geometry)
{
    auto* combo = Place(new DropDownComboBox(parent), name, geometry);
    combo->setToolTipDuration(HintDurationMs);
    return combo;
}

int ConditionPanel::TextWidth(const QString& text) const
{
    return QFontMetrics(window()->font()).horizontalAdvance(text);
}

void ConditionPanel::RadioButtonSPClick()
{
    if (m_state.calcMode == 1)
        return;
    m_state.calcMode = 1;
    ApplyCalcMode();
}

void ConditionPanel::RadioButtonBugakariClick()
{
    if (m_state.calcMode == 0)
        return;
    m_state.calcMode = 0;
    ApplyCalcMode();
}

void ConditionPanel::hideDetailPanels()
{
    PanelGaraUnpan->hide();
    PanelJinkai->hide();
    PanelDensen->hide();
}

bool ConditionPanel::showDetailFor(int t)
{
    using calc::PackageDetails;
    switch (calc::PackageDetailsOf(t)) {
    case PackageDetails::DebrisWorkAndLoading:
        PanelGaraUnpan->show();
        PanelCommon->move(PanelCommon->x(), CommonTopGaraUnpan);
        return true;
    case PackageDetails::RefuseKindAndDumpTruck:
        PanelJinkai->show();
        PanelCommon->move(PanelCommon->x(), CommonTopJinkai);
        return true;
    case PackageDetails::NoDetails:
        PanelCommon->move(PanelCommon->x(), CommonTopNone);
        return true;
    case PackageDetails::LoadClass:
        PanelDensen->show();
        PanelCommon->move(PanelCommon->x(), CommonTopDensen);
        return true;
    case PackageDetails::Unpriced:
        break;
    }
    return false;
}

void ConditionPanel::ApplyCalcMode()
{
    const Lists& l = m_lists;
    if (!l.conditions || !l.spHimokuSource || !l.himokuSource)
        return;
    const CCalcConditionData& cond = *l.conditions;

    if (m_state.calcMode == 1) {
        ComboBoxTarget himoku(ComboBoxSyobunHimoku);
        l.spHimokuSource->CopyItemsTo(himoku);
        selectIndex(ComboBoxSyobunHimoku, cond.GetSpCostItem());
        const int c = ComboBoxSyobunHimoku->currentIndex();
        // The lists below now belong to c. A guard still holding the cost
        // item seen before the switch would take a later pick of that item
        // for "no change" and leave another item's lists under it.
        lastSpCostItem = c;

        l.spSyubetsuModel->FillCombo(c);
        selectIndex(ComboBoxUnpanSyubetsu, cond.GetSpTransportType());
        const int t = ComboBoxUnpanSyubetsu->currentIndex();

        listsBelowTransportType = {c, t};
        switch (calc::PackageDetailsOf(t)) {
        case calc::PackageDetails::DebrisWorkAndLoading:
            l.spGaraHasseiModel->FillCombo(c);
            selectIndex(ComboBoxGaraHassei, cond.GetSpDebrisWork());
            l.spTsumikomiModel->FillCombo(c, cond.GetSpDebrisWork());
            listsBelowDebrisWork = {c, cond.GetSpDebrisWork()};
            selectIndex(ComboBoxTsumikomi, cond.GetSpLoadingMethod());
            break;
        case calc::PackageDetails::RefuseKindAndDumpTruck:
            selectIndex(ComboBoxJinkai, cond.GetSpRefuseKind());
            if (cond.GetSpDumpTruckCarry())
                RadioButtonDTCarry->setChecked(true);
            else
                RadioButtonDTLend->setChecked(true);
            break;
        case calc::PackageDetails::LoadClass:
            selectIndex(ComboBoxSekisai, cond.GetSpLoadClass());
            break;
        case calc::PackageDetails::NoDetails:
        case calc::PackageDetails::Unpriced:
            break;
        }
        showDetailFor(t);
        if (cond.GetSpDid())
            RadioButtonDIDTrue->setChecked(true);
        else
            RadioButtonDIDFalse->setChecked(true);
        return;
    }

    hideDetailPanels();
    PanelCommon->move(PanelCommon->x(), CommonTopNone);
    ComboBoxTarget himoku(ComboBoxSyobunHimoku);
    l.himokuSource->CopyItemsTo(himoku);
    selectIndex(ComboBoxSyobunHimoku, 0);
    l.syubetsuModel->FillCombo(ComboBoxSyobunHimoku->currentIndex());
    lastBugakariCostItem = ComboBoxSyobunHimoku->currentIndex();
    if (cond.GetBugakariDid())
        RadioButtonDIDTrue->setChecked(true);
    else
        RadioButtonDIDFalse->setChecked(true);
}

void ConditionPanel::ComboBoxSyobunHimokuChange()
{
    const int c = ComboBoxSyobunHimoku->currentIndex();
    if (m_state.calcMode == 1) {
        if (c == lastSpCostItem)
            return;
        lastSpCostItem = c;
        if (m_lists.spSyubetsuModel)
            m_lists.spSyubetsuModel->FillCombo(c);
        ComboBoxUnpanSyubetsuChange();
        UpdateComboHint(ComboBoxTsumikomi);
        return;
    }
    if (c == lastBugakariCostItem)
        return;
    lastBugakariCostItem = c;
    if (m_lists.syubetsuModel)
        m_lists.syubetsuModel->FillCombo(c);
    selectIndex(ComboBoxUnpanSyubetsu, 0);
    UpdateComboHint(ComboBoxTsumikomi);
}

void ConditionPanel::ComboBoxUnpanSyubetsuChange()
{
    if (m_state.calcMode != 1)
        return;
    const int c = ComboBoxSyobunHimoku->currentIndex();
    const int t = ComboBoxUnpanSyubetsu->currentIndex();
    hideDetailPanels();
    listsBelowTransportType = {c, t};
    if (t == 0) {
        if (m_lists.spGaraHasseiModel)
            m_lists.spGaraHasseiModel->FillCombo(c);
        if (m_lists.spTsumikomiModel)
            m_lists.spTsumikomiModel->FillCombo(c, 0);
        listsBelowDebrisWork = {c, 0};
    }
    showDetailFor(t);
}

std::pair<int, int> ConditionPanel::ListsBelowTransportType() const
{
    return {ComboBoxSyobunHimoku->currentIndex(), ComboBoxUnpanSyubetsu->currentIndex()};
}

std::pair<int, int> ConditionPanel::ListsBelowDebrisWork() const
{
    return {ComboBoxSyobunHimoku->currentIndex(), ComboBoxGaraHassei->currentIndex()};
}

void ConditionPanel::ComboBoxGaraHasseiChange()
{
    listsBelowDebrisWork = ListsBelowDebrisWork();
    if (m_lists.spTsumikomiModel)
        m_lists.spTsumikomiModel->FillCombo(ComboBoxSyobunHimoku->currentIndex(), ComboBoxGaraHassei->currentIndex());
    UpdateComboHint(ComboBoxGaraHassei);
}

void ConditionPanel::ComboBoxTsumikomiChange()
{
    UpdateComboHint(ComboBoxTsumikomi);
}

void ConditionPanel::UpdateComboHint(QComboBox* combo)
{
    // With nothing selected the text is empty and so is the hint.
    const QString s = combo->currentIndex() >= 0 ? combo->currentText() : QString();
    const int w = TextWidth(s);
    combo->setToolTip(w < combo->width() - 15 ? QString() : s);
}

void ConditionPanel::ComboBoxDropDown(QComboBox* sender)
{
    QString longest;
    for (int i = 0; i < sender->count(); ++i) {
        const QString item = sender->itemText(i);
        if (item.size() > longest.size())
            longest = item;
    }
    const int width = TextWidth(longest) + 30;
    if (auto* combo = qobject_cast<DropDownComboBox*>(sender))
        combo->setDropDownWidth(width);
}

bool ConditionPanel::CoordKeyAccepted(const QString& text, QChar key)
{
    if (key == u'\b')
        return true;
    if (key == u'.')
        return !text.contains(u'.') && !text.isEmpty();
    if (key == u'-')
        return text.isEmpty();
    return key >= u'0' && key <= u'9';
}

void ConditionPanel::EditCoordKeyPress(QLineEdit* sender, QChar& key)
{
    // A typed character replaces the selection: the rules judge what is
    // left of the text, so "-" over a selected "-5000" starts a new number.
    QString text = sender->text();
    if (sender->hasSelectedText())
        text.remove(sender->selectionStart(), sender->selectedText().size());
    if (!CoordKeyAccepted(text, key))
        key = QChar();
}

bool ConditionPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == EditX || watched == EditY)) {
        // A paste goes to the field, whose validator judges the text it makes.
        if (IsEditingShortcut(static_cast<QKeyEvent*>(event)))
            return QWidget::eventFilter(watched, event);
        QChar key = TypedNumberCharacter(static_cast<QKeyEvent*>(event));
        if (!key.isNull()) {
            EditCoordKeyPress(static_cast<QLineEdit*>(watched), key);
            if (key.isNull())
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConditionPanel::EditCoordChange()
{
    UpdateCalcButton();
}

void ConditionPanel::UpdateCalcButton()
{
    const double x = StrToFloatDefault(EditX->text(), 0);
    const double y = StrToFloatDefault(EditY->text(), 0);
    // Without the master data or a district (whose diesel price both methods
    // use) there is nothing to calculate with.
    ButtonCalc->setEnabled(m_driver && ComboBoxArea->count() > 0 && x != 0 && y != 0);
}

void ConditionPanel::ButtonAreaSaveClick()
{
    try {
        velmora::data::SaveDefaultDistrict(velmora::data::Paths::exeDirectory(), ComboBoxArea->currentText());
    } catch (...) {
        platform::ShowMessage(platform::CurrentExceptionMessage(), QStringLiteral("VelmoraPro"),
                              platform::MessageButtons::Ok, platform::MessageIcon::Error);
        return;
    }
    // Nothing on the window changes, so only a box tells the estimator it worked.
    platform::ShowMessage(QStringLiteral("初期地区を「%1」で保存しました。\r\n次回の起動時からこの地区が選ばれます。")
                              .arg(ComboBoxArea->currentText()),
                          ButtonAreaSave->text(), platform::MessageButtons::Ok, platform::MessageIcon::Information);
}

} // namespace velmora::ui
