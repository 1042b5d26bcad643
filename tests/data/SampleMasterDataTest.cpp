// The master-data readers on the sample deployment the build lays out: the
// lists, prices and registers must agree with each other the way the window
// and the calculator rely on (every offered choice has prices, every site a
// position), and loading must report nothing.

#include "app/CQuillonVersionIniManager.h"
#include "data/CDistrictUnitPrice.h"
#include "data/CEnDecryption.h"
#include "data/CHimokuRowSource.h"
#include "data/CSPHimokuRowSource.h"
#include "data/CSyobunjoList.h"
#include "data/CSyubetsuComboBox.h"
#include "data/DefaultDistrict.h"
#include "data/Error.h"
#include "data/Notifier.h"
#include "support/TempDeployment.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"
#include "RecordingNotifier.h"

#include <gtest/gtest.h>

#include <QFileInfo>

using velmora::test::TempDeployment;

namespace {

class SampleMasterDataTest : public ::testing::Test
{
protected:
    TempDeployment dep;
    velmora::test::RecordingNotifier notes;

    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo(TempDeployment::sampleDeploymentDir() + QStringLiteral("/dat")).isDir());
        dep.copySampleDeployment();
        velmora::data::takeDeferredWarnings();
    }
};

TEST_F(SampleMasterDataTest, EveryOfferedChoiceHasPricesAndEverySiteAPosition)
{
    CEnDecryption decoder;
    decoder.DecryptDataFiles();

    CDistrictUnitPrice prices;
    const QStringList districts = velmora::data::LoadDistrictList();
    ASSERT_GT(districts.size(), velmora::data::FallbackDistrictIndex);
    EXPECT_EQ(velmora::data::ChooseDistrictIndex(districts, velmora::data::ReadSavedDistrict()), velmora::data::FallbackDistrictIndex);
    // One district price per district, in the same order.
    EXPECT_NO_THROW(prices.GetPriceT02(static_cast<int>(districts.size()) - 1));
    EXPECT_THROW(prices.GetPriceT02(static_cast<int>(districts.size())), velmora::Error);

    const CSyubetsuComboBox labourTypes(nullptr);
    EXPECT_EQ(CHimokuRowSource().Items().size(), 3);
    EXPECT_EQ(CSPHimokuRowSource().Items().size(), 3);
    for (int costItem = 0; costItem < 3; ++costItem) {
        const QStringList types = labourTypes.Items(costItem);
        EXPECT_FALSE(types.isEmpty());
        for (int type = 0; type < types.size(); ++type)
            for (int d = 0; d < districts.size(); ++d)
                EXPECT_GT(prices.GetDumpTruckCost(d, costItem, type), 0)
                    << costItem << "/" << type << "/" << d;

        CSyobunjoList sites(costItem);
        EXPECT_GT(sites.Count(), 0) << costItem;
        for (sites.MoveFirst(); !sites.IsEnd(); sites.MoveNext()) {
            const CSyobunjoData& site = sites.Current();
            EXPECT_TRUE(site.GetX() != 0 && site.GetY() != 0) << site.GetSiteName().toStdString();
            EXPECT_GT(site.GetDisposalFee(), 0) << site.GetSiteName().toStdString();
        }
    }
    EXPECT_TRUE(notes.warnings.empty());
    EXPECT_TRUE(velmora::data::takeDeferredWarnings().isEmpty());
}

TEST_F(SampleMasterDataTest, DefinitionsAndVersionLabelsAreShipped)
{
    ResetSharedWebDataDefForTesting();
    const auto def = CreateSharedWebDataDef(velmora::web::DefaultWebDataDefPath());
    ResetSharedWebDataDefForTesting();
    namespace names = velmora::web::names;
    for (const QString& key : {names::key::home, names::key::GoogleMaps, names::key::MieClickMaps})
        EXPECT_FALSE(def->ReadValue(names::section::URL, key).isEmpty()) << key.toStdString();
    EXPECT_TRUE(def->ReadValue(names::section::javascript, names::key::calcRoute).startsWith(QStringLiteral("javascript:")));

    const CQuillonVersionIniManager labels;
    EXPECT_TRUE(labels.EditionText().contains(QStringLiteral("年"))) << labels.EditionText().toStdString();
    EXPECT_NE(labels.VersionText(), QStringLiteral("Ver. Pro"));
}

} // namespace
