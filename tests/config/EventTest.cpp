#include "config/CCfgClassEvent.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgNetworkEvent.h"
#include "config/CCfgOstrelix.h"
#include "config/ConfigTexts.h"
#include "platform/core/StringTable.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(ConfigEvents, FilterWordsOutsideTheSetAreIgnored) {
    CCfgEvent e;
    e.SetFilterWord(8, 0xFFFFFFFF);
    e.SetFilterWord(-1, 0xFFFFFFFF);
    for (int w = 0; w < CCfgEvent::kFilterWords; ++w)
        EXPECT_EQ(e.GetFilterWord(w), 0u);
    EXPECT_EQ(e.GetFilterWord(8), 0u);
    EXPECT_EQ(e.GetFilterWord(-1), 0u);

    e.SetFilterWord(7, 0x80000001u);
    struct Case {
        int word;
        int bit;
        bool set;
    };
    const Case cases[] = {{7, 0, true},   {7, 31, true}, {7, 1, false},  {7, 32, false},
                          {7, -1, false}, {8, 0, false}, {-1, 0, false}, {0, 0, false}};
    for (const auto& c : cases)
        EXPECT_EQ(e.IsFilterBit(c.word, c.bit), c.set) << c.word << "/" << c.bit;
}

TEST(ConfigEvents, StatusLevels) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {-1, 0}};
    for (const auto& [severity, level] : cases)
        EXPECT_EQ(CCfgEvent::StatusLevel(severity), level) << severity;
}

TEST(ConfigEvents, CopiesTakeEverySettingAndTheirOwnOwner) {
    CCfgDeviceEvent loaded;
    loaded.SetOwnerName("pc7");
    loaded.SetNew(false);
    loaded.SetFilterWord(3, 0x55);
    loaded.SetType(13);
    loaded.SetThreshold(250);
    loaded.SetMessage("slow");
    loaded.SetSampleTime(OleDateTime(1899, 1, 1, 0, 5, 0));

    CCfgClassEvent target;
    target.SetOwnerName("Servers");
    target.CopyFrom(loaded);
    EXPECT_EQ(target.GetOwnerName(), "Servers");
    EXPECT_FALSE(target.IsNew());
    EXPECT_EQ(target.GetFilterWord(3), 0x55u);
    EXPECT_EQ(target.GetType(), 13);
    EXPECT_EQ(target.GetThreshold(), 250);
    EXPECT_EQ(target.GetMessage(), "slow");
    EXPECT_EQ(target.GetSampleTime(), OleDateTime(1899, 1, 1, 0, 5, 0));

    const CCfgDeviceEvent copy(loaded);
    EXPECT_EQ(copy.GetOwnerName(), "pc7");
    EXPECT_FALSE(copy.IsNew());
    EXPECT_EQ(copy.GetThreshold(), 250);

    const CCfgDeviceEvent forDevice("pc9", target);
    EXPECT_EQ(forDevice.GetOwnerName(), "pc9");
    EXPECT_EQ(forDevice.GetMessage(), "slow");

    const CCfgClassEvent classCopy(target);
    EXPECT_EQ(classCopy.GetOwnerName(), "Servers");
    EXPECT_EQ(classCopy.GetFilterWord(3), 0x55u);

    CCfgNetworkEvent network(loaded);
    EXPECT_EQ(network.GetOwnerName(), "");
    EXPECT_EQ(network.GetType(), 13);
    network.SetOwnerName("lan");
    EXPECT_EQ(CCfgNetworkEvent(network).GetOwnerName(), "");
}

TEST(ConfigEvents, TypeNames) {
    const std::pair<int, const char*> cases[] = {
        {13, "Slow Response"},
        {1014, "Device Discovery Event"},
        {99, "Other Event"},
        {1, "High Traffic Volume"},
        {1001, "High Traffic Volume"},
        {15, "Device responds"},
        {1013, "Error Limit"},
        {16, "Other Event"},
        {1015, "Other Event"},
        {2001, "Other Event"},
        {0, "Other Event"},
        {-1, "Other Event"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(GetEventTypeName(code), name) << code;
    EXPECT_EQ(StringTable::Get(EventTypeNameId(12)), "Bandwidth Utilization low vs. Baseline");
}

TEST(ConfigRoot, DatabaseVersionMustMatchExactly) {
    struct Case {
        const char* version;
        bool ok;
    };
    const Case cases[] = {{"???", false},      {"DBV2.0a", true}, {"dbv2.0a", false},
                          {"DBV2.0a ", false}, {"DBV2.0", false}, {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        CCfgOstrelix root;
        root.SetDbVersion(c.version);
        std::string message = "untouched";
        EXPECT_EQ(root.CheckDbVersion(message), c.ok);
        EXPECT_EQ(message, c.ok ? "untouched" : "Database not compatible with the version of Vorquel.");
    }
}

TEST(ConfigRoot, InvalidMonitorResetReadsAsZeroPeriodAndStays) {
    CCfgOstrelix root;
    OleDateTime invalid(1905, 3, 1, 2, 0, 0);
    invalid.SetStatus(OleDateTime::invalid);
    root.SetMonitorResetTime(invalid);
    const OleDateTime first = root.GetMonitorResetTime();
    EXPECT_EQ(first.GetStatus(), OleDateTime::valid);
    EXPECT_EQ(first, OleDateTime(1899, 1, 1, 0, 0, 0));
    EXPECT_EQ(root.GetMonitorResetTime(), first);

    OleDateTime null;
    null.SetStatus(OleDateTime::null);
    root.SetMonitorResetTime(null);
    EXPECT_EQ(root.GetMonitorResetTime().GetStatus(), OleDateTime::null);
}

} // namespace
} // namespace vq
