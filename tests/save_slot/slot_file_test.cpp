#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "scene/graphic_data.h"
#include "scene/object_data.h"
#include "game/var_data.h"
#include "tests/save_slot/slot_fixture.h"
#include "platform/files_test_hooks.h"

namespace {

constexpr const char* kBadFile = "Error: <LOAD_MODE_DATA::LoadProc> セーブファイルが不正です\n";

class SlotFileTest : public SlotTest {
protected:
    // Plays the story for `frames` frames (a click every 60) and saves.
    std::string SaveAt(int frames, int slot) {
        adv = NewAdventure();
        for (int i = 0; i < frames; ++i)
            Frame(adv.get(), i % 60 == 59);
        adv->LoadDataRelease();
        EXPECT_EQ(WriteSaveSlotFile(&sys, adv.get(), slot), 1);
        return SlotFile(slot);
    }
    // Reads `bytes` as slot 5 into the adventure; 1 or 0.
    int Load(const std::string& bytes) {
        plat::WriteFileAtomic("sav/sav05.sav", bytes);
        return ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), 5);
    }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);)
            lines.push_back(l);
        return lines;
    }
    static size_t Find(const std::vector<std::string>& lines, const std::string& line) {
        return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
    }
    static std::string Word(const std::string& line, int k) {
        std::istringstream in(line);
        std::string w;
        for (int i = 0; i <= k; ++i)
            in >> w;
        return w;
    }
    static std::string SetWord(const std::string& line, int k, const std::string& word) {
        std::istringstream in(line);
        std::string out, w;
        for (int i = 0; in >> w; ++i)
            out += (i ? " " : "") + (i == k ? word : w);
        return out;
    }
    static std::string Join(const std::vector<std::string>& lines, size_t count) {
        std::string text;
        for (size_t i = 0; i < count && i < lines.size(); ++i)
            text += lines[i] + "\n";
        return text;
    }
};

// The first message typed out over the pictures, the object and the text
// area: every line of the file as the format lays it out.
TEST_F(SlotFileTest, WritesTheGoldenFileByteForByte) {
    const std::string file = SaveAt(40, 3);
    const std::string golden = kutest::SourceDir() + "/tests/save_slot/golden/scene.sav";
    const char* update = std::getenv("KU_UPDATE_GOLDEN");
    if (update && std::string(update) == "1")
        std::ofstream(golden, std::ios::binary) << file;
    std::string expected;
    ASSERT_TRUE(plat::ReadWholeFile(golden, &expected));
    EXPECT_EQ(Difference(file, expected), "");
    EXPECT_EQ(file, expected);
    const std::vector<std::string> lines = Lines(file);
    ASSERT_GT(lines.size(), 81u);
    EXPECT_EQ(lines[0], "2026 12 7 23 30");
    EXPECT_EQ(lines[2], "s.spt");
    // The current message is the newest history entry, escaped as in its
    // history line; cleared entries keep the defaults.
    EXPECT_EQ(lines[17], "少女 あいうえお\\nかきくけこ __NULL__ 20 16777215");
    EXPECT_EQ(lines[18], lines[17]);
    EXPECT_EQ(lines[19], "__NULL__ __NULL__ __NULL__ 20 16777215");
    EXPECT_EQ(lines[79], "0 0 0 0");
    EXPECT_EQ(lines[80], "---GRAPHIC_DISP_FLG_START---");
    EXPECT_EQ(lines.back(), "---DRAW_ORDER_DATA_END---");
    EXPECT_EQ(file.find('\r'), std::string::npos);
}

TEST_F(SlotFileTest, FramesRoundTripLeftTopRightBottomAndTime) {
    adv = NewAdventure();
    for (int i = 0; i < 20; ++i)
        Frame(adv.get());
    const KURECT rc{10, 20, 110, 60};
    GRAPHIC_DATA& ch = adv->m_pGraphic[1];
    ASSERT_EQ(ch.SetAnimationData(1, 0), 1);
    ASSERT_EQ(ch.SetAnimationFrameData(0, 100, &rc), 1);
    ASSERT_EQ(adv->m_pObject[0].SetAnimationFrameData(2, 100, &rc), 1);
    ASSERT_EQ(WriteSaveSlotFile(&sys, adv.get(), 4), 1);
    const std::string file = SlotFile(4);
    EXPECT_NE(file.find("\n1 0 1 0 0 0 0 1\n10 20 110 60 100\n"), std::string::npos);
    EXPECT_NE(file.find("\n0 0 0 0 120\n10 20 110 60 100\n0 0 0 0 120\n"), std::string::npos);

    adv = NewAdventure();
    ASSERT_EQ(ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), 4), 1);
    for (GRAPHIC_DATA* g :
         {static_cast<GRAPHIC_DATA*>(&adv->m_pGraphic[1]), static_cast<GRAPHIC_DATA*>(&adv->m_pObject[0])}) {
        const uint32_t j = g == &adv->m_pGraphic[1] ? 0 : 2;
        ASSERT_GT(g->m_dwAnimationNum, j);
        EXPECT_EQ(g->m_pRect[j].left, 10);
        EXPECT_EQ(g->m_pRect[j].top, 20);
        EXPECT_EQ(g->m_pRect[j].right, 110);
        EXPECT_EQ(g->m_pRect[j].bottom, 60);
        EXPECT_EQ(g->m_Animation.m_pTime[j], 100u);
    }
    // A second load replaces the tables (the sanitizers see any leak).
    ASSERT_EQ(ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), 4), 1);
    EXPECT_EQ(Difference(Snapshot(adv.get()), file), "");
}

TEST_F(SlotFileTest, MarkersAndEmptyTextsInAnyCase) {
    const std::string file = SaveAt(40, 2);
    std::string lower = file;
    for (size_t at = 0; (at = lower.find("---", at)) != std::string::npos;) {
        const size_t end = lower.find("---", at + 3) + 3;
        for (size_t i = at; i < end; ++i)
            lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[i])));
        at = end;
    }
    for (size_t at = 0; (at = lower.find("__NULL__", at)) != std::string::npos; at += 8)
        lower.replace(at, 8, "__null__");
    adv = NewAdventure();
    ASSERT_EQ(Load(lower), 1) << log.all();
    EXPECT_EQ(Difference(Snapshot(adv.get()), file), "");
    // A hidden window gets its message and history back without a rebuild.
    EXPECT_EQ(adv->m_MsgWnd.m_bVisible, 1u);
    std::vector<std::string> lines = Lines(file);
    lines[16].replace(0, 1, "0");
    adv = NewAdventure();
    ASSERT_EQ(Load(Join(lines, lines.size())), 1);
    EXPECT_EQ(adv->m_MsgWnd.m_bVisible, 0u);
    EXPECT_STREQ(adv->m_MsgWnd.m_History[0].m_szName, "少女");
    EXPECT_FALSE(adv->m_MsgWnd.m_TextArea.m_bInit);
    EXPECT_EQ(adv->m_SelectWnd.m_bInit, 0u);
}

TEST_F(SlotFileTest, ABadFileChangesNothing) {
    const std::string file = SaveAt(160, 2);
    const std::vector<std::string> lines = Lines(file);
    adv = NewAdventure();
    const std::string untouched = Snapshot(adv.get());
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<std::string> swapped = lines, longName = lines, badIndex = lines, badChoices = lines;
    std::swap(swapped[100], swapped[101]);
    // The second shown flag and the second picture's file line exchanged:
    // that picture would take the fade's slot 0.
    std::vector<std::string> noScript = lines;
    noScript[2] = "gone.spt";
    std::vector<std::string> ownSlot = lines;
    const size_t shown = Find(lines, "---GRAPHIC_DISP_FLG_START---") + 2;
    const size_t first = Find(lines, "---GRAPHIC_DATA_START---") + 1;
    std::swap(ownSlot[shown], ownSlot[first + 3 + std::stoul(Word(lines[first + 1], 2))]);
    longName[17] = std::string(120, 'x') + " a __NULL__ 20 0";
    // Fewer than no lines read would count the whole script as read.
    std::vector<std::string> negativeLine = lines;
    negativeLine[3] = "0 -40";
    // A running command the story could not go on from: a script change or
    // an exam that names a script the archive does not hold, a waiting
    // choice without its windows.
    auto command = [&](const std::string& words, int args, const char* tail) {
        std::vector<std::string> changed = lines;
        changed[10] = words;
        for (int k = args; k < SCRIPT_COMMAND_DATA::kArgCount; ++k)
            changed[10] += " __NULL__";
        changed[10] += tail;
        return changed;
    };
    const std::vector<std::string> toParent = command("#FileChange ../x.spt", 1, " 0 0 0 5");
    const std::vector<std::string> toMissing = command("#filechange2 gone.spt", 1, " 0 0 0 5");
    const std::vector<std::string> examBack = command("#TestModeIn 0 MATH s.spt gone.spt", 4, " 0 0 0 5");
    std::vector<std::string> waitAlone = lines, startAlone = lines;
    ASSERT_EQ(Word(lines[9], 0), "#SelectWait");
    for (std::vector<std::string>* v : {&waitAlone, &startAlone}) {
        (*v)[79] = "0 0 0 0";
        v->erase(v->begin() + 80, v->begin() + 86);
    }
    startAlone[9] = SetWord(SetWord(startAlone[9], 0, "#SelectStart"), 12, "1");
    badIndex[badIndex.size() - 2] = "1 7 30";
    badChoices[79] = "1 1 0 3";
    const Case cases[] = {
        {"cut after the history", Join(lines, 78)},
        {"cut before the last marker", Join(lines, lines.size() - 1)},
        {"a name longer than its field", Join(longName, lines.size())},
        {"a negative line count", Join(negativeLine, lines.size())},
        {"a draw-order index out of range", Join(badIndex, lines.size())},
        {"three choices", Join(badChoices, lines.size())},
        {"a picture on the game's own slot", Join(ownSlot, lines.size())},
        {"a script the archive does not hold", Join(noScript, lines.size())},
        {"a script change out of the archive's folder", Join(toParent, lines.size())},
        {"a script change to a missing script", Join(toMissing, lines.size())},
        {"an exam that comes back to a missing script", Join(examBack, lines.size())},
        {"a waiting choice without windows", Join(waitAlone, waitAlone.size())},
        {"a choice fading in without windows", Join(startAlone, startAlone.size())},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        log.Clear();
        EXPECT_EQ(Load(c.bytes), 0) << c.what;
        EXPECT_TRUE(log.Contains(kBadFile)) << c.what;
        EXPECT_EQ(Difference(Snapshot(adv.get()), untouched), "") << c.what;
    }
    // A script change the archive can serve is taken, and so is an exam
    // that comes back to one: its script is the one after the exam.
    EXPECT_EQ(Load(Join(command("#FileChange s.spt", 1, " 0 0 0 5"), lines.size())), 1) << log.all();
    EXPECT_EQ(Load(Join(command("#TestModeIn 0 MATH NULL s.spt", 4, " 0 0 0 5"), lines.size())), 1) << log.all();
    // Lines before an end marker are passed over.
    std::vector<std::string> extra = lines;
    extra.insert(extra.end() - 1, "surplus line");
    EXPECT_EQ(Load(Join(extra, extra.size())), 1);
    EXPECT_EQ(Difference(Snapshot(adv.get()), file), "");
    // Choices saved in their closing steps come back without a chosen one:
    // the fade-out refuses rather than reaching past the windows.
    std::vector<std::string> closing = lines;
    closing[79] = "1 1 3 2";
    ASSERT_EQ(Load(Join(closing, closing.size())), 1);
    EXPECT_EQ(adv->m_SelectWnd.DisappearWindow(), -1);
    // Unreadable: no file, a folder, a FIFO.
    EXPECT_EQ(ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), 11), 0);
    plat::MakeDir("sav/sav12.sav");
    EXPECT_EQ(ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), 12), 0);
    ASSERT_EQ(mkfifo("sav/sav13.sav", 0600), 0);
    EXPECT_EQ(ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), 13), 0);
    for (int slot : {0, 31, -1})
        EXPECT_EQ(ReadSaveSlotFile(&sys, &sprite, &snd, adv.get(), slot), 0);
}

// A slot saved at a choice, read after the choice picture left the archive:
// over a story whose own choices are up it keeps the picture they hold and
// its choices take the click; over one without choices it is refused, and
// that story is left exactly as it was.
TEST_F(SlotFileTest, ChoicesWhosePictureIsGoneNeverCostTheLiveOnes) {
    const std::string file = SaveAt(160, 2);
    ASSERT_EQ(adv->m_SelectWnd.m_bInit, 1u);
    std::vector<ArchiveMember> pictures;
    for (auto& [name, bytes] : screens::ScreenPictures())
        if (name != "SelectWindow.dds")
            pictures.push_back(ArchiveMember{name, "", bytes});
    std::string error;
    ASSERT_TRUE(WriteArchive("dat/Img.dat", pictures, false, &error)) << error;
    ASSERT_EQ(Load(file), 1) << log.all();
    adv->LoadDataResume();
    ASSERT_EQ(adv->m_MainScr.ScriptFileOpen(adv->m_szScriptName, adv->m_nLine - 1), 1) << log.all();
    sys.SetMousePos(400, 200); // over the first choice
    for (int i = 0; i < 200; ++i)
        Frame(adv.get(), i == 5);
    EXPECT_EQ(adv->m_pVar[adv->IDSearch(ADV_DATA::kKindVar, "w")].GetValue(), 1) << log.all();
    EXPECT_FALSE(log.Contains("初期化されていません")) << log.all();

    adv = NewAdventure();
    for (int i = 0; i < 40; ++i)
        Frame(adv.get());
    adv->LoadDataRelease();
    const std::string before = Snapshot(adv.get());
    EXPECT_EQ(Load(file), 0);
    EXPECT_EQ(Difference(Snapshot(adv.get()), before), "");
    EXPECT_EQ(adv->m_SelectWnd.m_bInit, 0u);
    EXPECT_EQ(sprite.GetGraphicSlot(4)->created(), 0u);
}

// A work folder that cannot take the slot's script (here a mount point
// stands where its copy would be written, as a full disk would refuse it)
// refuses the file, and the story in play reads on from its own script.
TEST_F(SlotFileTest, AScriptTheWorkFolderCannotTakeRefusesTheFile) {
    const std::string file = SaveAt(40, 2);
    ASSERT_EQ(std::remove("tmp/s.spt"), 0); // the load takes it out again
    ASSERT_EQ(mkdir("tmp/s.spt.tmp", 0755), 0);
    const std::string before = Snapshot(adv.get());
    {
        const kutest::MountPointScope mounted("tmp/s.spt.tmp");
        EXPECT_EQ(Load(file), 0);
    }
    EXPECT_EQ(Difference(Snapshot(adv.get()), before), "");
    ASSERT_EQ(rmdir("tmp/s.spt.tmp"), 0);
    adv->LoadDataResume();
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(Frame(adv.get()), 0) << log.all();
}

// A file read whole whose shown background is not in the archive: play goes
// on without it, and its draw's complaint is said once, not every frame.
TEST_F(SlotFileTest, APictureMissingFromTheArchiveIsLeftOutAndSaidOnce) {
    std::string file = SaveAt(40, 2);
    const size_t at = file.find("TitleBG.bmp");
    ASSERT_NE(at, std::string::npos);
    file.replace(at, 11, "Missing.bmp");
    adv = NewAdventure();
    ASSERT_EQ(Load(file), 1) << log.all();
    adv->LoadDataResume();
    log.Clear();
    for (int i = 0; i < 30; ++i) {
        Frame(adv.get(), i == 10);
        sprite.D3DXDrawStart();
        ASSERT_EQ(adv->DrawProc(), 1);
        sprite.D3DXDrawEnd();
    }
    int said = 0;
    for (const std::string& line : log.lines())
        said +=
            line.find("Error: <KUSPRITE2::D3DXDrawGraphic> テクスチャデータが確保されていません") != std::string::npos;
    EXPECT_EQ(said, 1) << log.all();
}

// Thousands of damaged copies of a full file: the reader never crashes, and
// a file it refuses leaves the adventure as it was.
TEST_F(SlotFileTest, DamagedFilesAreRefusedOrReadWhole) {
    // The message window hidden and a tiny choice picture, so that a file
    // read whole costs little rendering.
    std::vector<std::string> lines = Lines(SaveAt(160, 2));
    lines[16].replace(0, 1, "0");
    const std::string file = Join(lines, lines.size());
    adv = NewAdventure();
    ASSERT_EQ(sprite.SetGraphicData(4, "tmp/", "tiny.bmp", 4, 1), 1);
    std::mt19937 rng(20261207);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    const char* const kTokens[] = {"99999999999", "-2147483649", "2147483647", "-1",   "-999999", "4097",
                                   "1e39",        "nan",         "inf",        "0x10", "",        "__NULL__"};
    int refused = 0, read = 0;
    for (int n = 0; n < 2000; ++n) {
        std::string bytes;
        if (n < static_cast<int>(lines.size())) {
            bytes = Join(lines, static_cast<size_t>(n)); // cut at every line
        } else if (n % 3 == 0) {
            bytes = file;
            for (size_t k = 1 + pick(8); k > 0; --k)
                bytes[pick(bytes.size())] = static_cast<char>(rng());
        } else {
            std::vector<std::string> damaged = lines;
            std::string& line = damaged[pick(damaged.size())];
            std::vector<size_t> starts;
            for (size_t i = 0; i < line.size(); ++i)
                if (line[i] != ' ' && (i == 0 || line[i - 1] == ' '))
                    starts.push_back(i);
            const size_t at = starts.empty() ? 0 : starts[pick(starts.size())];
            const size_t end = std::min(line.find(' ', at), line.size());
            const std::string token =
                n % 3 == 1 ? kTokens[pick(std::size(kTokens))] : std::string(400 + pick(800), 'A');
            line.replace(at, end - at, token);
            if (n % 7 == 0)
                damaged.erase(damaged.begin() + static_cast<long>(pick(damaged.size())));
            bytes = Join(damaged, damaged.size());
        }
        const std::string before = Snapshot(adv.get());
        if (Load(bytes) == 1) {
            ++read;
        } else {
            ++refused;
            ASSERT_EQ(Difference(Snapshot(adv.get()), before), "") << "variant " << n;
        }
    }
    EXPECT_GT(refused, 500);
    EXPECT_GT(read, 100);
}

TEST_F(SlotFileTest, AFailedSaveKeepsTheOldFileAndTouchesNoOther) {
    adv = NewAdventure();
    dir.Write("sav/sav00.sav", "cross-play");
    dir.Write("sav/sav08.sav", "old eight");
    ASSERT_EQ(WriteSaveSlotFile(&sys, adv.get(), 1), 1);
    const std::string first = SlotFile(1);
    // A folder where the file goes; a stale temporary entry that cannot be removed.
    plat::MakeDir("sav/sav07.sav");
    EXPECT_EQ(WriteSaveSlotFile(&sys, adv.get(), 7), 0);
    EXPECT_TRUE(plat::StatFile("sav/sav07.sav").isDirectory);
    plat::MakeDir("sav/sav08.sav.tmp");
    EXPECT_EQ(WriteSaveSlotFile(&sys, adv.get(), 8), 0);
    EXPECT_EQ(dir.Read("sav/sav08.sav"), "old eight");
    // A link planted as the temporary file is replaced, not followed.
    dir.Write("outside.txt", "not ours");
    ASSERT_EQ(symlink("../outside.txt", "sav/sav09.sav.tmp"), 0);
    EXPECT_EQ(WriteSaveSlotFile(&sys, adv.get(), 9), 1);
    EXPECT_EQ(dir.Read("outside.txt"), "not ours");
    // A save the player marked read-only is kept.
    dir.Write("sav/sav10.sav", "kept ten");
    chmod("sav/sav10.sav", 0444);
    plat::SetWriteDenyHook([](const std::string& path) { return path == "sav/sav10.sav"; }); // root writes through the bits
    EXPECT_EQ(WriteSaveSlotFile(&sys, adv.get(), 10), 0);
    plat::SetWriteDenyHook(nullptr);
    EXPECT_EQ(dir.Read("sav/sav10.sav"), "kept ten");
    for (int slot : {0, 31, -5})
        EXPECT_EQ(WriteSaveSlotFile(&sys, adv.get(), slot), 0);
    if (geteuid() != 0) {
        // Permissions hold only for an ordinary user.
        chmod("sav", 0555);
        EXPECT_EQ(WriteSaveSlotFile(&sys, adv.get(), 1), 0);
        chmod("sav", 0755);
    }
    EXPECT_EQ(dir.Read("sav/sav00.sav"), "cross-play");
    EXPECT_EQ(SlotFile(1), first);
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDir("sav", &entries));
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const auto& e : entries)
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"sav00.sav", "sav01.sav", "sav07.sav", "sav08.sav", "sav08.sav.tmp",
                                               "sav09.sav", "sav10.sav"}));
}

// A save killed at any moment leaves the slot file whole, old or new.
TEST_F(SlotFileTest, KilledMidSaveTheFileIsOldOrNew) {
    ADV_DATA a; // a cleared adventure writes every line too
    std::string texts[2];
    for (int i = 0; i < 2; ++i) {
        a.m_nEpisode = i;
        saveslot::WriteSlotText(&sys, a, plat::GetLocalTime(), &texts[i]);
    }
    a.m_nEpisode = 0;
    ASSERT_EQ(WriteSaveSlotFile(&sys, &a, 6), 1);
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 1;; ++i) {
                a.m_nEpisode = i & 1;
                WriteSaveSlotFile(&sys, &a, 6);
            }
        }
        usleep(200 + rng() % 3000);
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        const std::string now = SlotFile(6);
        ASSERT_TRUE(now == texts[0] || now == texts[1]) << "kill " << round << ": " << now.size() << " bytes";
    }
}

} // namespace
