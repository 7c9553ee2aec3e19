// The base of the host tests: a fresh machine with the program's resources,
// the program in its load state, and helpers to install and run it.
#ifndef TESTS_SCENARIO_H
#define TESTS_SCENARIO_H

#include <gtest/gtest.h>
#include <windows.h>
#include <winsim/sim.h>

#include <functional>
#include <string>

#define SETTINGS_PATH "HKCU\\Software\\Ostrelle\\Dorvane"
#define SHELL_FOLDERS_PATH "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define DEFAULT_INSTALL_DIR "C:\\Program Files\\Dorvane"

class Scenario : public ::testing::Test {
protected:
    void SetUp() override { NewMachine(); }
    // A fresh machine with the program in its load state: every test starts
    // on one; the checks that run the program many times in a test take one
    // for each run.
    virtual void NewMachine();

    // Puts the program and its companion in `dir`; with `register` the
    // installer's InstallPath value names it.
    void Install(const std::string& dir = DEFAULT_INSTALL_DIR, bool registerPath = true);

    // Runs the program with `commandLine` until it ends and returns its result.
    // A script that cannot go on fails the test with its account.
    int Run(const std::string& commandLine = "");

    // A window of the test's own, made from the main window's template, whose
    // procedure handles nothing unless one is given.
    static HWND TestWindow(DLGPROC procedure = NULL);

    // The message boxes shown, as their texts.
    std::vector<std::string> MessageTexts() const;

    // A setting stored as the program writes it: REG_SZ, no terminator.
    static void Store(const std::string& name, const std::string& text);
    // The bytes of a stored setting, "(none)" when it is missing; a setting of
    // another type than REG_SZ reads as "(type N)".
    static std::string Saved(const std::string& name);

    // The user chooses `command` from the tray menu.
    void Choose(UINT command);
    // Ends the script: Exit from the menu, every later box answered; the result.
    int RunToExit();
    // Runs `what` as a script step, when the program next waits for input.
    void Step(std::function<void()> what);

    sim::User& user = sim::user();
};

// `text` (UTF-8) in code page 1251, as the program holds its texts.
std::string Cp1251(const std::string& text);

// What a run left behind that the program should have released. `release` and `subject` name the
// call that frees it where one does (a check that made that call fail may excuse what stays).
struct Leftover {
    std::string what;
    std::string release;
    std::string subject;
};
std::vector<Leftover> LeftBehind();

// The lines of tests/expect/`file` that are neither comments ("#") nor blank, which the run under
// Wine reads too; ExpectedText gives them as one text, each line ending in a line break.
std::vector<std::string> ExpectedLines(const std::string& file);
std::string ExpectedText(const std::string& file);
// Menu items as the menus' expectation files write them, a line each, a pop-up's items indented
// under it: command (or "popup"), text, checked and unchecked pictures. An item with a picture
// must be checked, as the picture is its check mark, and be a plain string; a drive's is a radio
// item too. Anything else is written out after the line.
std::string MenuLines(const std::vector<sim::MenuItemView>& items, const std::string& indent = "");

#endif
