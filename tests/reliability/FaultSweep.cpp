// Every failable platform call of a scenario made to fail, one run per call,
// for a user who answers boxes at once and one who leaves them open. Beyond
// what every run keeps to (Reliability.h), a run changes no registry value the
// scenario does not mean to change, and reports the failure unless the outcome
// (registry, files, launches, doors, the menu's texts) is the unfailed run's or
// the program is written to take it without a word (kSilent says why). Even
// then the door opens and closes from the menu afterwards as in the unfailed
// run: a failure may cost its own command, never a later one.
//
// FAULT_SWEEP_PAIRS=N then fails two calls in a run, the second judged against
// the run with the first failing; all pairs where a scenario and user have at
// most N, else N drawn from FAULT_SWEEP_SEED (default 1).
#include <sanitizer/common_interface_defs.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <set>
#include <sstream>

#include "Reliability.h"
#include "Rows.h"
#include "res/resource.h"

using namespace reliability;

namespace {

// Failures the program is written to take without a word, by call and the start of its subject.
struct Silent { const char *api, *subject, *why; };
const Silent kSilent[] = {
    {"RegOpenKeyExA", "HKCU\\Software\\", "loading falls back to the start values without a word"},
    {"RegQueryValueExA", "", "loading falls back to the defaults without a word, \"Default Drive\" to drive 0"},
    {"RegCloseKey", "HKLM\\System", "door control stops without a word where the MCI key does not close"},
    {"FindFirstFileA", "", "the probes show what they found: the icon, the start-up box"},
    {"GetVolumeInformationA", "", "a volume that cannot be read greys the disc's commands"},
    {"CreateFileA", "", "an autorun.inf that cannot be read greys Autoplay and starts nothing"},
    {"ReadFile", "", "an autorun.inf that cannot be read greys Autoplay and starts nothing"},
    {"ShellExecuteA", "D:\\", "Explore, Open and Autoplay do not look at the launch"},
    {"mciSendStringA", "close ", "the device and the alias are closed without a word"},
    {"mciSendStringA", "open ", "a device that does not open ends the command without a word, or is probed"},
    {"mciSendStringA", "status ", "the poller's queries are silent"},
    {"mciSendStringA", "set cdaudio", "the poller's queries are silent"},
    {"mciSendStringA", "stop ", "Stop and the end of the program stop without a word"},
    {"GetCursorPos", "", "without the cursor's place no menu shows"},
    {"GetOpenFileNameW", "", "a file dialog that fails chooses nothing"},
    {"SetTimer", "1002", "the countdown without its timer waits for its buttons"},
    {"DialogBoxParamW", "", "a dialog that cannot show changes nothing: the user sees none come"},
    {"SetMenuItemInfoW", "", "the poller writes the open menu's lines again at every tick"},
    {"InsertMenuItemW", "1", "the poller puts the track lines in at its next tick"},
    {"InsertMenuItemW", "2", "the poller puts the track lines in at its next tick"},
    {"GetSubMenu", "1", "the poller takes the track lines out, or puts them in, at its next tick"},
};

struct Call { std::string api, subject; };

bool SilentByDesign(const Call& call)
{
    return std::any_of(std::begin(kSilent), std::end(kSilent), [&call](const Silent& silent) {
        return call.api == silent.api && call.subject.rfind(silent.subject, 0) == 0;
    });
}

struct Row { const char *what, *drives; std::function<void()> prepare; std::vector<Act> acts; };

// E: selected, "Default Drive" naming D:.
void TwoDrives()
{
    sim::InsertDisc('E', TestDisc(1));
    Machine::SetDefaultDrive(0);
    Settings({{"LastDrive", "1"}});
}
void Disc(char letter, int kind) { sim::InsertDisc(letter, TestDisc(kind)); }

const std::vector<Act> kToggleTwice = {{Act::Click}, {Act::Wait, 600}, {Act::Click}, {Act::Wait, 600}};
const Row kScenarios[] = {
    {"StartUp", "D", [] { Disc('D', 0); }, {{Act::Wait, 1200}}},
    {"DoorToggleWithTwoDrives", "DE", TwoDrives, kToggleTwice},
    // Elevated, the program aims "Default Drive" and puts it back.
    {"DoorToggleWithTwoDrivesElevated", "DE", [] { TwoDrives(); sim::RunElevated(true); }, kToggleTwice},
    {"MenuOpenWithADisc", "D", [] { Disc('D', 1); }, {{Act::RightClick}, {Act::Wait, 1100}, {Act::Dismiss}}},
    {"PlayPauseResume", "D", [] { Disc('D', 0); },
     {{Act::RightClick}, {Act::Choose, IDM_PLAY}, {Act::Wait, 700}, {Act::RightClick}, {Act::Choose, IDM_PAUSE},
      {Act::RightClick}, {Act::Choose, IDM_PAUSE}, {Act::Wait, 600}}},
    {"OptionsOkAndBrowse", "D", [] { sim::AddFile(std::string(kStartup) + "\\Dorvane.lnk", "shortcut"); },
     {{Act::RightClick}, {Act::Choose, IDM_OPTIONS}, {Act::Press, IDC_LOAD_AT_STARTUP}, {Act::Press, IDC_AUTOCLOSE},
      {Act::Press, IDC_BROWSE}, {Act::File, 0, kPlayer}, {Act::Press, IDOK}}},
    {"PasswordPrompt", "D", [] { Settings({{"Locked", "1"}, {"Password", "pw"}}); },
     {{Act::Click}, {Act::Type, IDC_OLD_PASSWORD, "pw"}, {Act::Press, IDOK}, {Act::Wait, 600}, {Act::Click},
      {Act::Wait, 600}}},
    {"Countdown", "D", [] { Settings({{"AutoCloseAllowed", "1"}, {"AutoCloseTime", "1"}}); },
     {{Act::Click}, {Act::Wait, 2600}}},
    {"LanguageSwitch", "D", nullptr,
     {{Act::RightClick}, {Act::Choose, IDM_RUSSIAN}, {Act::RightClick}, {Act::Wait, 600}, {Act::Dismiss}}},
    {"AutoplayExploreHelp", "D", [] { Disc('D', 1); },
     {{Act::RightClick}, {Act::Wait, 600}, {Act::Choose, IDM_AUTOPLAY}, {Act::RightClick}, {Act::Choose, IDM_EXPLORE},
      {Act::RightClick}, {Act::Choose, IDM_ABOUT}, {Act::Press, IDC_ABOUT_HELP}}},
};

// After the scenario the user comes back to idle, stops the music, then opens
// and closes the door from the menu.
std::vector<Act> Afterwards()
{
    std::vector<Act> acts(10, Act(Act::Tidy));
    acts.insert(acts.end(), {{Act::RightClick}, {Act::Choose, IDM_STOP}, {Act::Dismiss}, {Act::RightClick},
                             {Act::Choose, IDM_OPEN_DOOR}, {Act::Type, IDC_OLD_PASSWORD, "pw"}, {Act::Press, IDOK},
                             {Act::Wait, 1500}, {Act::RightClick}, {Act::Choose, IDM_CLOSE_DOOR}, {Act::Wait, 1500}});
    return acts;
}

// The registry entries ("key\name", or "key" for a key and its class) that
// differ from `before`, a sim::DumpRegistry().
std::vector<std::string> Changed(const std::string& before)
{
    // The dump's lines: "[key]class", and "  name type=..." for each value under it.
    auto entries = [](const std::string& dump) {
        std::set<std::string> entries;
        std::istringstream lines(dump);
        std::string key;
        for (std::string line; std::getline(lines, line);)
            if (line.compare(0, 1, "[") == 0) entries.insert(line), key = line.substr(1, line.find(']') - 1);
            else entries.insert(key + "\\" + line.substr(2));
        return entries;
    };
    std::set<std::string> then = entries(before), now = entries(sim::DumpRegistry()), changed;
    std::vector<std::string> differ;
    std::set_symmetric_difference(then.begin(), then.end(), now.begin(), now.end(), std::back_inserter(differ));
    for (const std::string& entry : differ)
        changed.insert(entry[0] == '[' ? entry.substr(1, entry.find(']') - 1) : entry.substr(0, entry.find(" type=")));
    return {changed.begin(), changed.end()};
}

struct Outcome {
    std::vector<std::string> changed;   // registry entries changed by the run
    std::string state;                  // what stays: registry, files, launches, doors, the menu
    std::multiset<std::string> boxes;
    std::vector<Call> calls;            // the failable calls, in order
    size_t callsBefore = 0;             // of them, before the user's acts afterwards
    std::set<std::string> afterwards;   // the door commands then, and how they went
    std::vector<std::string> faults;
};

std::string EndState(const std::string& drives)
{
    std::ostringstream out;
    out << sim::DumpRegistry();
    for (const sim::ShellLaunch& launch : sim::ShellLaunches())
        out << "launched " << launch.verb.value_or("-") << " " << launch.file << " "
            << launch.parameters.value_or("-") << " " << (launch.result > 32) << "\n";
    for (const sim::ProcessStart& start : sim::ProcessStarts())
        out << "started " << start.commandLine << " " << start.succeeded << "\n";
    for (char drive : drives) out << drive << " open " << sim::TrayOpen(drive) << " " << sim::DrivePlayState(drive) << "\n";
    out << "shortcut " << sim::FileExists(std::string(kStartup) + "\\Dorvane.lnk") << "\n";
    // The menu as it last showed: its texts, and which items are separators.
    std::function<void(const std::vector<sim::MenuItemView>&)> items = [&](const auto& menu) {
        for (const sim::MenuItemView& item : menu) {
            out << (item.type & MFT_SEPARATOR ? "----" : item.text) << "\n";
            items(item.popup);
        }
    };
    if (!sim::MenusShown().empty()) items(sim::MenusShown().back().items);
    return out.str();
}

// The run's account when a sanitizer ends the process.
std::string CurrentRun;
void TellCurrentRun() { std::fprintf(stderr, "fault sweep: the run was %s\n", CurrentRun.c_str()); }

using FaultSweep = Rows<Machine>;

// The scenario with the failable calls at `failAt` failing (indices in the
// run's own order: a call after a failure may not be the unfailed run's).
Outcome RunOnce(Machine& machine, const Row& row, bool answers, std::vector<size_t> failAt)
{
    machine.Prepare(row.drives);
    Settings({{"Language", "1"}, {"HotKey", "1568"}, {"AutoCloseAllowed", "0"}, {"AutoCloseTime", "15"},
              {"Locked", "0"}, {"LastDrive", "0"}});
    if (row.prepare) row.prepare();
    std::string before = sim::DumpRegistry();
    Outcome outcome;
    sim::DecideFailures([&outcome, failAt](const std::string& api, const std::string& subject, DWORD* error) {
        outcome.calls.push_back({api, subject});
        *error = FailureError(api);
        return std::count(failAt.begin(), failAt.end(), outcome.calls.size() - 1) != 0;
    });
    if (answers) sim::user().AcceptMessageBoxes();
    std::vector<Act> acts = row.acts, afterwards = Afterwards();
    acts.insert(acts.end(), afterwards.begin(), afterwards.end());
    size_t next = 0, mark = SIZE_MAX;   // the MCI log's length when the acts afterwards begin
    outcome.faults = RunWithUser([&](Act* act) {
        if (next == row.acts.size()) mark = sim::MciLog().size(), outcome.callsBefore = outcome.calls.size();
        return next < acts.size() && (*act = acts[next++], true);
    }, answers);
    for (size_t i = mark; i < sim::MciLog().size(); ++i)
        if (sim::MciLog()[i].command.rfind("set cd4open door", 0) == 0)
            outcome.afterwards.insert(sim::MciLog()[i].command + (sim::MciLog()[i].result ? " failed" : ""));
    outcome.changed = Changed(before);
    outcome.state = EndState(row.drives);
    for (const sim::MessageBoxRecord& box : sim::MessageBoxes()) outcome.boxes.insert(box.text);
    return outcome;
}

template <typename Lines>
std::string Join(const Lines& lines, const char* between = "\n  ")
{
    std::string text;
    for (const std::string& line : lines) text += between + line;
    return text;
}

// The faults of `run`, measured against `reference`: the run it differs from
// only in that its call `k`, `call`, fails. Without a new box the outcome
// must be the reference's, and a value the failure kept from being put back
// is told to the user. The unfailed run's outcome is always sound: a second
// failure may undo what the first changed.
std::vector<std::string> Judge(const Outcome& unfailed, const Outcome& reference, const Outcome& run,
                               const Call& call, size_t k)
{
    std::vector<std::string> faults = run.faults;
    bool reported = !std::includes(reference.boxes.begin(), reference.boxes.end(), run.boxes.begin(), run.boxes.end());
    auto in = [](const std::vector<std::string>& list, const std::string& value) {
        return std::find(list.begin(), list.end(), value) != list.end();
    };
    for (const std::string& value : run.changed)
        if (!in(reference.changed, value) && !in(unfailed.changed, value) && !(reported && call.api.rfind("Reg", 0) == 0))
            faults.push_back("changed " + value + ", which the scenario does not mean to change");
    if (!reported && run.state != reference.state && run.state != unfailed.state && !SilentByDesign(call)) {
        std::istringstream now(run.state), then(reference.state);
        std::string line, was;
        while (std::getline(now, line) && std::getline(then, was) && line == was) {}
        faults.push_back("nothing was reported, and the outcome changed: " +
                         (line == was ? "one has lines the other has not"
                                      : "\"" + line + "\" where the run without this failure had \"" + was + "\""));
    }
    if (!reported && k < reference.callsBefore && run.afterwards != reference.afterwards &&
        run.afterwards != unfailed.afterwards)
        faults.push_back("afterwards the door went" + Join(run.afterwards) + "\n instead of" +
                         Join(reference.afterwards) + "\n and nothing was reported");
    return faults;
}

std::string Name(size_t k, const Call& call) { return std::to_string(k) + ": " + call.api + " (" + call.subject + ")"; }

unsigned long FromEnvironment(const char* name, unsigned long otherwise)
{
    return std::getenv(name) ? std::strtoul(std::getenv(name), nullptr, 10) : otherwise;
}

TEST_P(FaultSweep, EveryFailableCallFailsOnce)
{
    __sanitizer_set_death_callback(TellCurrentRun);
    const Row& row = kScenarios[GetParam()];
    const size_t wanted = FromEnvironment("FAULT_SWEEP_PAIRS", 0);
    const uint32_t seed = static_cast<uint32_t>(FromEnvironment("FAULT_SWEEP_SEED", 1));
    size_t runs = 0, pairRuns = 0, pairsThere = 0;
    std::set<std::string> functions;
    for (bool answers : {true, false}) {
        const std::string who = std::string(row.what) + (answers ? ", a user who answers boxes" : ", a user who leaves boxes open");
        CurrentRun = who + ", unfailed";
        Outcome base = RunOnce(*this, row, answers, {});
        ASSERT_TRUE(base.faults.empty()) << CurrentRun << ":" << Join(base.faults);
        std::vector<Outcome> singles;
        for (size_t k = 0; k < base.calls.size(); ++k, ++runs) {
            CurrentRun = who + ", failing call " + Name(k, base.calls[k]);
            Outcome run = RunOnce(*this, row, answers, {k});
            functions.insert(base.calls[k].api);
            std::vector<std::string> faults = Judge(base, base, run, base.calls[k], k);
            EXPECT_TRUE(faults.empty()) << CurrentRun << ":" << Join(faults);
            if (wanted) singles.push_back(std::move(run));
        }
        std::vector<std::pair<size_t, size_t>> pairs;
        for (size_t i = 0; i < singles.size(); ++i)
            for (size_t j = i + 1; j < singles[i].calls.size(); ++j) pairs.push_back({i, j});
        pairsThere += pairs.size();
        if (pairs.size() > wanted) {
            std::seed_seq from{seed, uint32_t(answers), uint32_t(std::hash<std::string>()(row.what))};
            std::mt19937 random(from);
            std::shuffle(pairs.begin(), pairs.end(), random);
            pairs.resize(wanted);
            std::sort(pairs.begin(), pairs.end());
        }
        for (const auto& [i, j] : pairs) {
            const Outcome& first = singles[i];
            CurrentRun = who + ", failing calls " + Name(i, first.calls[i]) + " and " + Name(j, first.calls[j]);
            Outcome run = RunOnce(*this, row, answers, {i, j});
            ++pairRuns;
            std::vector<std::string> faults = Judge(base, first, run, first.calls[j], j);
            EXPECT_TRUE(faults.empty()) << CurrentRun << ":" << Join(faults);
        }
    }
    std::printf("%s: %zu runs, %zu functions failed:%s\n", row.what, runs, functions.size(), Join(functions, " ").c_str());
    if (wanted) std::printf("%s: %zu pairs run of %zu, seed %u\n", row.what, pairRuns, pairsThere, seed);
}

ROWS(FaultSweep, kScenarios);

}  // namespace
