#include "CSyubetsuComboBox.h"

CSyubetsuComboBox::CSyubetsuComboBox(velmora::data::ComboTarget* combo)
    : CostItemListModel(combo, QStringLiteral("Syubetsu_RowSource.ini"),
                        {QStringLiteral("鉄筋ｺﾝｸﾘｰﾄ塊"), QStringLiteral("無筋ｺﾝｸﾘｰﾄ塊"), QStringLiteral("ｱｽｺﾝ塊")})
{
}
