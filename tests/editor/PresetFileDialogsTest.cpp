// The preset dialogs with stand-in zenity / kdialog scripts on PATH: which dialog runs with which
// arguments, what is written or imported, and what happens on cancel, bad files and missing tools.
#include "FakeDialogTools.h"
#include "editor/PresetFileDialogs.h"
#include "editor/UserFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>

using namespace Vorlix;
using namespace Vorlix::test;

TEST_F(FakeDialogTools, ToolChoicePrefersZenityThenKdialog) {
    EXPECT_EQ(findDialogTool(), DialogTool::kNone);
    installTool("kdialog");
    EXPECT_EQ(findDialogTool(), DialogTool::kKdialog);
    installTool("zenity");
    EXPECT_EQ(findDialogTool(), DialogTool::kZenity);
}

TEST_F(FakeDialogTools, ExportWritesTheDocumentToTheChosenFile) {
    installTool("zenity");
    const fs::path target = dir / "out.json";
    setenv("FAKE_DIALOG_OUTPUT", target.c_str(), 1);
    runPresetExportDialog("bass-juno", [] { return std::string("{\n  \"plugin\": \"Vorlix307\"\n}"); });

    EXPECT_EQ(slurp(target), "{\n  \"plugin\": \"Vorlix307\"\n}");
    const auto c = calls();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_TRUE(has(c[0], "--save"));
    EXPECT_TRUE(has(c[0], "--confirm-overwrite"));
    EXPECT_TRUE(has(c[0], "--filename=bass-juno.json"));
    EXPECT_TRUE(has(c[0], "--file-filter=JSON presets (*.json) | *.json"));
    // Nothing but the target is left in the folder: the temporary file was renamed.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir)) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2);  // out.json and calls.log
}

TEST_F(FakeDialogTools, CancelledDialogsChangeNothing) {
    installTool("zenity");
    const fs::path target = dir / "out.json";
    setenv("FAKE_DIALOG_OUTPUT", target.c_str(), 1);
    setenv("FAKE_DIALOG_STATUS", "1", 1);
    bool exported = false;
    runPresetExportDialog("x", [&] {
        exported = true;
        return std::string("{}");
    });
    bool imported = false;
    runPresetImportDialog([&](const std::string&) { return imported = true; });
    EXPECT_FALSE(exported);
    EXPECT_FALSE(imported);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(calls().size(), 2u);  // one save, one open dialog, no error dialog
}

TEST_F(FakeDialogTools, ImportReadsTheWholeFileAndReportsABadOne) {
    installTool("zenity");
    const fs::path source = dir / "in.json";
    const std::string content("{\"program\": 12}\0tail", 20);
    { std::ofstream(source, std::ios::binary) << content; }
    setenv("FAKE_DIALOG_OUTPUT", source.c_str(), 1);

    std::string received;
    runPresetImportDialog([&](const std::string& text) {
        received = text;
        return true;
    });
    EXPECT_EQ(received, content);  // every byte, also past an embedded zero
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_TRUE(has(calls()[0], "--file-selection"));
    EXPECT_FALSE(has(calls()[0], "--save"));

    runPresetImportDialog([](const std::string&) { return false; });
    const auto c = calls();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_TRUE(has(c[2], "--error"));
}

TEST_F(FakeDialogTools, UnreadableImportIsSilent) {
    installTool("zenity");
    setenv("FAKE_DIALOG_OUTPUT", (dir / "missing.json").c_str(), 1);
    bool called = false;
    runPresetImportDialog([&](const std::string&) { return called = true; });
    EXPECT_FALSE(called);
    EXPECT_EQ(calls().size(), 1u);
}

TEST_F(FakeDialogTools, KdialogIsUsedWithoutZenity) {
    installTool("kdialog");
    const fs::path target = dir / "k.json";
    setenv("FAKE_DIALOG_OUTPUT", target.c_str(), 1);
    runPresetExportDialog("lead-ripper", [] { return std::string("{}"); });
    EXPECT_EQ(slurp(target), "{}");
    const auto c = calls();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_TRUE(has(c[0], "--getsavefilename"));
    EXPECT_TRUE(has(c[0], "lead-ripper.json"));
    EXPECT_TRUE(has(c[0], "*.json|JSON presets (*.json)"));
}

TEST_F(FakeDialogTools, WithoutAnyToolOnlyStderrSpeaks) {
    bool called = false;
    ::testing::internal::CaptureStderr();
    runPresetExportDialog("x", [&] {
        called = true;
        return std::string();
    });
    runPresetImportDialog([&](const std::string&) { return called = true; });
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(called);
    EXPECT_NE(err.find("neither zenity nor kdialog"), std::string::npos);
}

TEST_F(FakeDialogTools, AtomicWriteReplacesOrLeavesTheTargetAlone) {
    const fs::path target = dir / "p.json";
    { std::ofstream(target) << "old"; }
    EXPECT_TRUE(writeFileAtomically(target.string(), "new content"));
    EXPECT_EQ(slurp(target), "new content");
    EXPECT_FALSE(writeFileAtomically((dir / "no-such-folder" / "p.json").string(), "x"));
    EXPECT_FALSE(writeFileAtomically("", "x"));
}

// Files a user can point the import dialog or vorlix-render at: only regular files up to the
// limit are read, and nothing that could block or grow without end is waited for.
TEST_F(FakeDialogTools, UserFilesAreReadOnlyWhenRegularAndWithinTheLimit) {
    const fs::path fifo = dir / "fifo.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no writer: a blocking open would never return
    const std::string exact(16, 'x');
    { std::ofstream(dir / "exact.json", std::ios::binary) << exact; }
    { std::ofstream(dir / "over.json", std::ios::binary) << exact << 'y'; }
    { std::ofstream(dir / "empty.json", std::ios::binary); }
    struct Case {
        fs::path path;
        UserFileError expected;
        std::string content;
    };
    const std::vector<Case> cases{
        {dir / "exact.json", UserFileError::kNone, exact},
        {dir / "empty.json", UserFileError::kNone, ""},
        {dir / "over.json", UserFileError::kTooLarge, ""},
        {dir, UserFileError::kNotRegular, ""},
        {fifo, UserFileError::kNotRegular, ""},
        {"/dev/zero", UserFileError::kNotRegular, ""},
        {dir / "missing.json", UserFileError::kCannotOpen, ""},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(readUserFile(c.path.string(), exact.size(), out), c.expected) << c.path;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.path;
        EXPECT_EQ(out, c.content) << c.path;
    }
    EXPECT_EQ(std::string(userFileErrorText(UserFileError::kNotRegular)), "not a regular file");
}

TEST_F(FakeDialogTools, ImportRefusesAFifoOrADeviceAtOnceAndSaysWhy) {
    installTool("zenity");
    const fs::path fifo = dir / "fifo.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const fs::path& chosen : {fifo, fs::path("/dev/zero")}) {
        setenv("FAKE_DIALOG_OUTPUT", chosen.c_str(), 1);
        bool called = false;
        runPresetImportDialog([&](const std::string&) { return called = true; });
        EXPECT_FALSE(called) << chosen;
        const auto c = calls();
        ASSERT_FALSE(c.empty());
        EXPECT_TRUE(has(c.back(), "--error")) << chosen;
        EXPECT_TRUE(has(c.back(), "--text=" + chosen.string() + " cannot be imported (not a regular file).")) << chosen;
    }
}

TEST(PresetDialogCommands, SuggestedNameIsAFileNameNotAPath) {
    const auto cmd = saveDialogCommand(DialogTool::kZenity, "a/b");
    bool found = false;
    for (const auto& a : cmd) found = found || a == "--filename=a_b.json";
    EXPECT_TRUE(found);
    EXPECT_TRUE(openDialogCommand(DialogTool::kNone).empty());
    for (const auto& a : saveDialogCommand(DialogTool::kZenity, "")) EXPECT_EQ(a.rfind("--filename", 0), std::string::npos);
}
