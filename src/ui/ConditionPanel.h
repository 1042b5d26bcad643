#pragma once

#include "MainWindowState.h"

#include <QWidget>
#include <functional>
#include <utility>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class CCalcConditionData;
class CHimokuRowSource;
class COutputDataManager;
class CSPGaraHasseiComboBox;
class CSPHimokuRowSource;
class CSPSyubetsuComboBox;
class CSPTsumikomiComboBox;
class CSyubetsuComboBox;

namespace velmora::calc {
struct CaseData;
}

namespace velmora::ui {

class DropDownComboBox;

// The left-hand column of the main page: the estimating method, district,
// job site, cost item, transport type and its details, and the button that
// starts the calculation. Controls sit at fixed pixel positions; only the
// detail panels and the common panel below them move.
class ConditionPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PanelWidth = 289;
    static constexpr int DetailTop = 272;
    static constexpr int GaraUnpanTop = 275;
    static constexpr int CommonHeight = 137;
    // Where the common panel sits below each detail panel.
    static constexpr int CommonTopGaraUnpan = 360;
    static constexpr int CommonTopJinkai = 336;
    static constexpr int CommonTopNone = 280;
    static constexpr int CommonTopDensen = 312;
    static constexpr int CommonTopDesign = 376;

    // The lists and the remembered conditions, owned by the window.
    struct Lists
    {
        CHimokuRowSource* himokuSource = nullptr;
        CSPHimokuRowSource* spHimokuSource = nullptr;
        CSyubetsuComboBox* syubetsuModel = nullptr;
        CSPSyubetsuComboBox* spSyubetsuModel = nullptr;
        CSPGaraHasseiComboBox* spGaraHasseiModel = nullptr;
        CSPTsumikomiComboBox* spTsumikomiModel = nullptr;
        CCalcConditionData* conditions = nullptr;
    };

    ConditionPanel(MainWindowState& state, QWidget* parent = nullptr);

    void bind(const Lists& lists) { m_lists = lists; }
    void setDriver(COutputDataManager* driver) { m_driver = driver; }
    // The result grid's ShowCalcResult, run at the end of every calculation.
    void setShowCalcResult(std::function<void(bool)> show) { m_showCalcResult = std::move(show); }

    void RadioButtonSPClick();
    void RadioButtonBugakariClick();
    void ApplyCalcMode();

    void ComboBoxSyobunHimokuChange();
    void ComboBoxUnpanSyubetsuChange();
    void ComboBoxGaraHasseiChange();
    void ComboBoxTsumikomiChange();

    void UpdateComboHint(QComboBox* combo);
    void ComboBoxDropDown(QComboBox* sender);
    // `key` in/out; a null character discards it.
    void EditCoordKeyPress(QLineEdit* sender, QChar& key);
    // The coordinate fields' rule: whether `key` may be typed into a field
    // whose text is `text` once the selection is gone.
    static bool CoordKeyAccepted(const QString& text, QChar key);
    void EditCoordChange();
    void UpdateCalcButton();

    void SaveConditions();
    // The method, district, cost item, transport type, the details that type
    // reads and the DID choice, in the words of the lists.
    velmora::calc::CaseData ChosenConditions() const;
    // Calculates with the panel's conditions and shows the result with the
    // grid's ShowCalcResult, asking first when the table's distances or typed
    // fees would go; or with `show` when it is given (a case opened brings its
    // own rows). A failure or a refusal leaves the driver as it was.
    void RunCalculation(const std::function<void(bool costItemChanged)>& show = {});
    void ButtonCalcClick();
    // False when the job site lies outside Mie and the estimator chose not
    // to calculate it.
    bool ConfirmJobSiteArea();
    void ButtonAreaSaveClick();

    // The panel's text width on the window's canvas font.
    int TextWidth(const QString& text) const;

    // The cost item whose lists the panel shows, per mode: the change
    // handler's last pick, or the item a method switch selected.
    int lastSpCostItem = -1;
    int lastBugakariCostItem = -1;
    // The (cost item, transport type) and (cost item, debris-generating work)
    // that the lists and panels below them were last built for.
    std::pair<int, int> listsBelowTransportType{-1, -1};
    std::pair<int, int> listsBelowDebrisWork{-1, -1};

    QLabel* LabelVerJa;
    QLabel* LabelVerEn;
    QGroupBox* GroupBoxCalcMode;
    QRadioButton* RadioButtonSP;
    QRadioButton* RadioButtonBugakari;
    QLabel* LabelArea;
    DropDownComboBox* ComboBoxArea;
    QPushButton* ButtonAreaSave;
    QLabel* LabelX;
    QLineEdit* EditX;
    QLabel* LabelY;
    QLineEdit* EditY;
    QPushButton* ButtonGetCoord;
    QLabel* LabelSyobunHimoku;
    DropDownComboBox* ComboBoxSyobunHimoku;
    QLabel* LabelUnpanSyubetsu;
    DropDownComboBox* ComboBoxUnpanSyubetsu;
    QWidget* PanelGaraUnpan;
    QLabel* LabelGaraHassei;
    DropDownComboBox* ComboBoxGaraHassei;
    QLabel* LabelTsumikomi;
    DropDownComboBox* ComboBoxTsumikomi;
    QWidget* PanelDensen;
    QLabel* LabelSekisai;
    DropDownComboBox* ComboBoxSekisai;
    QWidget* PanelJinkai;
    QLabel* LabelJinkai;
    DropDownComboBox* ComboBoxJinkai;
    QRadioButton* RadioButtonDTCarry;
    QRadioButton* RadioButtonDTLend;
    QWidget* PanelCommon;
    QRadioButton* RadioButtonDIDTrue;
    QRadioButton* RadioButtonDIDFalse;
    QPushButton* ButtonCalc;
    QPushButton* ButtonCloseMainTab;
    QPushButton* ButtonNyusatsuInfo;
    QLabel* LabelExplain;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropDownComboBox* makeCombo(const QString& name, QWidget* parent, const QRect& geometry);
    // Shows the detail panel that belongs to transport type t and moves the
    // common panel under it; false for a type without a layout.
    bool showDetailFor(int t);
    void hideDetailPanels();
    // False, after a warning, when the chosen transport type gives the
    // driver no conditions to price with.
    bool HasConditionTexts() const;
    std::pair<int, int> ListsBelowTransportType() const;
    std::pair<int, int> ListsBelowDebrisWork() const;
    // False when nothing was calculated: no conditions, or the estimator
    // kept the table.
    bool RunCalculationSteps(const std::function<void(bool)>& show, bool askBeforeDropping);
    // Asks before a calculation drops distances or typed fees of the table;
    // true when there are none or the estimator agrees.
    bool ConfirmDroppingValues(bool costItemChanged) const;

    MainWindowState& m_state;
    Lists m_lists;
    COutputDataManager* m_driver = nullptr;
    std::function<void(bool)> m_showCalcResult;
};

} // namespace velmora::ui
