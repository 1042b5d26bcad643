#include "CSPGaraHasseiComboBox.h"

CSPGaraHasseiComboBox::CSPGaraHasseiComboBox(velmora::data::ComboTarget* combo)
    : CostItemListModel(combo, QStringLiteral("SPGaraHassei_RowSource.ini"),
                        {QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ殻"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ殻"), QStringLiteral("ｱｽﾌｧﾙﾄ殻")})
{
}
