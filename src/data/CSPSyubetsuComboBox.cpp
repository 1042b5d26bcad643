#include "CSPSyubetsuComboBox.h"

CSPSyubetsuComboBox::CSPSyubetsuComboBox(velmora::data::ComboTarget* combo)
    : CostItemListModel(combo, QStringLiteral("SPSyubetsu_RowSource.ini"),
                        {QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ殻"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ殻"), QStringLiteral("ｱｽﾌｧﾙﾄ殻")})
{
}
