// Every kind of change the window makes, taken back and made again on each store, compared as exported text.
#include "app/key_paste.h"
#include "core/key_ops.h"
#include "core/undo_history.h"
#include "core/value_text.h"
#include "markup/opal_value_io.h"
#include "platform/registry_store.h"
#include "regfile/reg_export.h"
#include "regfile/reg_import.h"
#include "registry/change_journal.h"
#include "search/replace.h"
#include "store/wine/wine_store.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace hw {
namespace {

const std::string kRoot = "HKEY_CURRENT_USER\\Software\\Undo";

struct StoreKind {
    std::string name;
    std::function<std::unique_ptr<platform::RegistryStore>(const std::string& folder)> open;
};

void PrintTo(const StoreKind& store, std::ostream* out) {
    *out << store.name;
}

struct Command {
    std::string name;
    std::function<void()> run;
};

void Write(const std::string& subKey, const std::string& name, DWORD type, const std::string& data) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ("Software\\Undo" + subKey).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// The exported text, each key's values in name order: a value that comes back is listed last by the store.
std::string Exported() {
    regfile::RegLines lines;
    if (!regfile::ExportKeyPath(kRoot, lines)) return "<no key>";
    const auto isValue = [](const std::string& line) {
        return line.starts_with('"') || line.starts_with('@');
    };
    for (auto run = lines.begin(); run != lines.end();) {
        const auto end = std::find_if_not(run, lines.end(), isValue);
        std::sort(run, end);
        run = end == lines.end() ? end : end + 1;
    }
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

struct NoView : search::ReplaceView {
    void ValueRenamed(const std::string&, const std::string&, const std::string&) override {}
    void ResultKeyPathChanged(const search::SearchResult&) override {}
};

void ReplaceAll(const std::string& from, const std::string& to) {
    search::SearchRequest request;
    request.startPath = kRoot;
    request.findText = from;
    search::Search(request);
    NoView view;
    // From the last result, so a key's rename does not move results still to come.
    for (auto result = request.results().rbegin(); result != request.results().rend(); ++result) {
        search::ResultRowTexts row = search::ResultRowTextsOf(*result);
        search::ReplaceInResult(request, *result, row, {from, to}, view);
    }
}

std::vector<Command> Commands() {
    const std::string tree = kRoot + "\\Tree";
    return {
        {"New Key",
         [] {
             HKEY key = 0;
             RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Undo\\New Key #1", 0, nullptr, 0, KEY_WRITE,
                             nullptr, &key, nullptr);
             RegCloseKey(key);
         }},
        {"New Value", [] { core::WriteValueTextOfPath(kRoot, "New Value #1", "", REG_SZ); }},
        {"Rename Key", [tree] { core::RenameKeyPath(tree, kRoot + "\\Renamed"); }},
        {"Rename Value", [] { core::RenameValuePath(kRoot, "Text", "Named"); }},
        {"Delete Key", [tree] { core::DeleteKeyPath(tree); }},
        {"Delete Value", [] { core::DeleteValuePath(kRoot, "Bin"); }},
        {"Copy Key", [tree] { core::CopyKeyPath(tree, kRoot + "\\Other\\Copied", false); }},
        {"Paste Key", [tree] { app::CopyKeyForPaste(tree, kRoot + "\\Other"); }},
        {"Edit Value", [] { core::WriteValueTextOfPath(kRoot, "Num", "12345", REG_DWORD); }},
        {"Edit Default", [tree] { core::WriteValueTextOfPath(tree + "\\Sub", "", "new default", REG_SZ); }},
        {"Import",
         [] {
             regfile::ImportRegLines({"Windows Registry Editor Version 5.00", "",
                                      "[" + kRoot + "\\Imported\\Deep]", "\"A\"=hex(7):61,00,00,00", "",
                                      "[-" + kRoot + "\\Tree\\Sub]", "", "[" + kRoot + "]", "\"Num\"=-",
                                      "\"Text\"=\"imported\"", ""});
         }},
        {"Replace", [] { ReplaceAll("soft", "hard"); }},
        {"Magic Apply",
         [] { markup::WriteBoundValueText(kRoot + "\\Magic", "Lines", "a\nb", REG_MULTI_SZ); }},
    };
}

class UndoReplay : public ::testing::TestWithParam<StoreKind> {
  protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        platform::UseRegistry(GetParam().open(dir.file("registry")));
        registry::Journal().Clear();
        Write("", "Text", REG_SZ, std::string("soft text\0", 10));
        Write("", "Num", REG_DWORD, std::string("\x07\0\0\0", 4));
        Write("", "Bin", REG_BINARY, std::string("\0\x01\xff", 3));
        Write("", "", REG_SZ, std::string("root\0", 5));
        Write("\\Tree", "Leaf", REG_EXPAND_SZ, std::string("%PATH%\0", 7));
        Write("\\Tree\\Soft Key", "soft name", REG_SZ, std::string("x\0", 2));
        Write("\\Tree\\Sub", "Empty", REG_NONE, "");
        Write("\\Tree\\Sub\\Deep", "Q", REG_QWORD, std::string(8, '\x11'));
        Write("\\Other", "Kept", REG_SZ, std::string("kept\0", 5));
    }
    void TearDown() override {
        registry::Journal().Clear();
        platform::UseRegistry(nullptr);
    }

    test::TempDir dir;
};

TEST_P(UndoReplay, EachCommandUndoesAndRedoesToTheExactTexts) {
    for (const Command& command : Commands()) {
        SCOPED_TRACE(command.name);
        const std::string before = Exported();
        {
            const registry::UndoStep step(command.name);
            command.run();
        }
        const std::string after = Exported();
        ASSERT_NE(after, before) << "the command changed nothing";
        ASSERT_TRUE(registry::Journal().CanUndo());
        EXPECT_EQ(registry::Journal().NextUndo().name, command.name);

        EXPECT_EQ(core::UndoLastStep().outcome, core::UndoOutcome::Done);
        EXPECT_EQ(Exported(), before);
        EXPECT_EQ(core::RedoNextStep().outcome, core::UndoOutcome::Done);
        EXPECT_EQ(Exported(), after);
        // Back to the start for the next command.
        EXPECT_EQ(core::UndoLastStep().outcome, core::UndoOutcome::Done);
        ASSERT_EQ(Exported(), before);
    }
}

TEST_P(UndoReplay, StepsUndoInOrderAndANewStepEndsRedo) {
    std::vector<std::string> states{Exported()};
    for (const Command& command : Commands()) {
        {
            const registry::UndoStep step(command.name);
            command.run();
        }
        // A command that found nothing left to change (Tree was renamed away) makes no step.
        if (Exported() != states.back()) states.push_back(Exported());
    }
    for (std::size_t left = states.size() - 1; left > 0; --left) {
        ASSERT_EQ(core::UndoLastStep().outcome, core::UndoOutcome::Done) << left;
        ASSERT_EQ(Exported(), states[left - 1]) << left;
    }
    EXPECT_EQ(core::UndoLastStep().outcome, core::UndoOutcome::Nothing);
    for (std::size_t done = 1; done < 3; ++done) {
        ASSERT_EQ(core::RedoNextStep().outcome, core::UndoOutcome::Done);
        EXPECT_EQ(Exported(), states[done]);
    }
    {
        const registry::UndoStep step("Delete Value");
        core::DeleteValuePath(kRoot, "Bin");
    }
    EXPECT_FALSE(registry::Journal().CanRedo());
    EXPECT_EQ(core::RedoNextStep().outcome, core::UndoOutcome::Nothing);
}

// A step whose keys or values another writer changed since is refused as a whole.
TEST_P(UndoReplay, ChangedSinceRefusesAndChangesNothing) {
    struct Case {
        std::string name;
        std::function<void()> command;
        std::function<void()> meanwhile;
        bool redo; // the conflict comes before the redo, not the undo
    };
    const std::vector<Case> cases{
        {"value written over", [] { core::WriteValueTextOfPath(kRoot, "Text", "mine", REG_SZ); },
         [] { core::WriteValueTextOfPath(kRoot, "Text", "theirs", REG_SZ); }, false},
        {"deleted key made again",
         [] {
             core::DeleteValuePath(kRoot, "Bin");
             core::DeleteKeyPath(kRoot + "\\Tree");
         },
         [] { Write("\\Tree\\Sub", "New", REG_SZ, ""); }, false},
        {"new key given a value", [] { core::WriteValueTextOfPath(kRoot + "\\Fresh", "A", "1", REG_SZ); },
         [] { Write("\\Fresh", "A", REG_SZ, "2"); }, false},
        {"undone value written before redo", [] { core::DeleteValuePath(kRoot, "Num"); },
         [] { Write("", "Num", REG_DWORD, std::string(4, '\0')); }, true},
    };
    for (const Case& conflict : cases) {
        SCOPED_TRACE(conflict.name);
        {
            const registry::UndoStep step(conflict.name);
            conflict.command();
        }
        if (conflict.redo) {
            ASSERT_EQ(core::UndoLastStep().outcome, core::UndoOutcome::Done);
        }
        conflict.meanwhile();
        const std::string changed = Exported();
        const core::UndoResult result = conflict.redo ? core::RedoNextStep() : core::UndoLastStep();
        EXPECT_EQ(result.outcome, core::UndoOutcome::ChangedSince);
        EXPECT_EQ(result.stepName, conflict.name);
        EXPECT_EQ(result.keyPath.rfind(kRoot, 0), 0u) << result.keyPath;
        EXPECT_EQ(Exported(), changed);
        // The step stays where it was, to be tried again.
        EXPECT_TRUE(conflict.redo ? registry::Journal().CanRedo() : registry::Journal().CanUndo());
        registry::Journal().Clear();
    }
}

std::unique_ptr<platform::RegistryStore> OpenSqlite(const std::string& folder) {
    return platform::OpenSqliteStore(folder + ".db");
}

std::unique_ptr<platform::RegistryStore> OpenWinePrefix(const std::string& folder) {
    store::wine::WineStore::WriteSkeletonPrefix(folder);
    return platform::OpenWineStore(folder);
}

INSTANTIATE_TEST_SUITE_P(Stores, UndoReplay,
                         ::testing::Values(StoreKind{"Sqlite", OpenSqlite},
                                           StoreKind{"Wine", OpenWinePrefix}),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace hw
