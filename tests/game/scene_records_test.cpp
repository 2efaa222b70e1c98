#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "game/autoskip_file_data.h"
#include "scene/draw_order_data.h"
#include "scene/message_data.h"
#include "game/script_command_data.h"
#include "game/var_data.h"
#include "tests/support/test_env.h"

namespace {

TEST(DrawOrderData, FreshAndPartialSet) {
    DRAW_ORDER_DATA d;
    EXPECT_EQ(d.GetKind(), 0u);
    EXPECT_EQ(d.GetIndex(), -1);
    EXPECT_EQ(d.GetPriority(), 0);
    d.SetData(nullptr, nullptr, nullptr);
    EXPECT_EQ(d.GetIndex(), -1);
    int32_t idx = 4;
    d.SetData(nullptr, &idx, nullptr);
    EXPECT_EQ(d.GetKind(), 0u);
    EXPECT_EQ(d.GetIndex(), 4);
    DRAW_ORDER_DATA e(3, 7, -2);
    EXPECT_EQ(e.GetKind(), 3u);
    EXPECT_EQ(e.GetIndex(), 7);
    EXPECT_EQ(e.GetPriority(), -2);
}

TEST(VarData, SetNameResetsValueAndCutsLongNames) {
    VAR_DATA v;
    v.SetName("A");
    v.SetValue(7);
    v.SetName("B");
    EXPECT_STREQ(v.GetName(), "B");
    EXPECT_EQ(v.GetValue(), 0);
    std::string longName(150, 'x');
    v.SetName(longName.c_str());
    EXPECT_EQ(strlen(v.GetName()), 99u);
}

TEST(VarData, CutNeverSplitsADoubleByteCharacter) {
    VAR_DATA v;
    // 98 ASCII bytes then a double-byte character: only 99 bytes fit, so the
    // character must be dropped whole.
    std::string name(98, 'a');
    name += "\x82\xA0";
    v.SetName(name.c_str());
    EXPECT_EQ(strlen(v.GetName()), 98u);
}

TEST(ScriptCommandData, CountsClearAndLine) {
    char args[12][SCRIPT_COMMAND_DATA::kTextSize] = {};
    for (int i = 0; i < 12; ++i)
        snprintf(args[i], sizeof(args[i]), "a%d", i);
    auto* c = new SCRIPT_COMMAND_DATA;
    c->SetData("#MsgDisp", args, 3, 42);
    EXPECT_STREQ(c->m_szCommand, "#MsgDisp");
    EXPECT_STREQ(c->m_szArg[2], "a2");
    EXPECT_STREQ(c->m_szArg[3], "");
    EXPECT_EQ(c->m_nLine, 42);
    c->SetData("#X", args, 12, 43);
    EXPECT_STREQ(c->m_szArg[9], "a9");
    c->m_nPhase = 3;
    c->m_bExclusive = 1;
    c->Clear();
    EXPECT_TRUE(c->IsFree());
    EXPECT_EQ(c->m_nPhase, 0);
    EXPECT_EQ(c->m_bExclusive, 0);
    EXPECT_EQ(c->m_nLine, 43);
    std::string longCmd(700, 'c');
    c->SetData(longCmd.c_str(), nullptr, 0, 1);
    EXPECT_EQ(strlen(c->m_szCommand), 511u);
    delete c;
}

TEST(AutoSkipFileData, EmptyNameRefusedAndLogged) {
    kutest::DebugCapture cap;
    AUTOSKIP_FILE_DATA a;
    EXPECT_EQ(a.SetData("s01.spt", 12), 1);
    EXPECT_EQ(a.SetData("", 5), 0);
    EXPECT_EQ(a.SetData(nullptr, 5), 0);
    EXPECT_STREQ(a.m_szFile, "s01.spt");
    EXPECT_EQ(a.m_nLine, 12);
    EXPECT_TRUE(cap.Contains("Error: <AUTOSKIP_FILE_DATA> ファイルパスが不正です\n"));
    std::string longName(400, 'f');
    EXPECT_EQ(a.SetData(longName.c_str(), -1), 1);
    EXPECT_EQ(strlen(a.m_szFile), 259u);
}

TEST(MessageData, ClearedDefaults) {
    MESSAGE_DATA m;
    m.m_nFontSize = 0;
    m.m_dwColor = 0;
    std::snprintf(m.m_szText, sizeof(m.m_szText), "%s", "x");
    m.Clear();
    EXPECT_EQ(m.m_nFontSize, 20);
    EXPECT_EQ(m.m_dwColor, 0xFFFFFFu);
    EXPECT_STREQ(m.m_szText, "");
}

} // namespace
