// MCI's string interface on the cdaudio device: winmm's parsing, device
// names, aliases and auto-open, and the CD audio driver's answers. Only the
// commands the program is written to send are accepted; any other text is a
// mistake in the program and fails the test.
#include "cdrom.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <sstream>

namespace sim {

namespace {

// MCI_FORMAT_MILLISECONDS, MCI_FORMAT_MSF and MCI_FORMAT_TMSF.
const int kFormatMilliseconds = 0;
const int kFormatMsf = 2;
const int kFormatTmsf = 10;

bool ProgramSends(const std::string& command)
{
    static const std::set<std::string> fixed = {
        "close cdaudio", "open cdaudio alias cd4open shareable", "set cd4open door open wait",
        "set cd4open door closed wait", "close cd4open", "open cdaudio", "open cdaudio shareable",
        "status cdaudio media present", "status cdaudio number of tracks", "set cdaudio time format tmsf",
        "status cdaudio length", "status cdaudio current track", "play cdaudio", "pause cdaudio",
        "status cdaudio position", "stop cdaudio"};
    // A number or a saved position after a fixed prefix (empty when the program had none).
    auto withTail = [&command](const std::string& prefix, const char* characters) {
        return command.compare(0, prefix.size(), prefix) == 0 &&
               command.find_first_not_of(characters, prefix.size()) == std::string::npos;
    };
    // The program also sends back what MCI answered it, cut to its buffer.
    auto echoes = [&command](const std::string& prefix) {
        if (command.compare(0, prefix.size(), prefix) != 0) return false;
        std::string tail = command.substr(prefix.size());
        for (const MciCall& call : W().mciCalls)
            if (call.result == 0 && call.answer.compare(0, tail.size(), tail) == 0) return true;
        return false;
    };
    // The door's alias may name its drive: "open D: type cdaudio alias cd4open shareable".
    const std::string named = " type cdaudio alias cd4open shareable";
    bool element = command.size() == 7 + named.size() && command.compare(0, 5, "open ") == 0 &&
                   std::isupper(static_cast<unsigned char>(command[5])) && command[6] == ':' &&
                   command.compare(7, std::string::npos, named) == 0;
    return fixed.count(command) || element || withTail("status cdaudio length track ", "0123456789") ||
           withTail("seek cdaudio to ", "0123456789:") || echoes("status cdaudio length track ") ||
           echoes("seek cdaudio to ");
}

// MCI devices belong to the process that opened them and close when it ends.
// The process is known by the trace line of its start (0: the test itself).
size_t CurrentProcess()
{
    World& w = W();
    for (; w.mciTraceSeen < w.trace.size(); ++w.mciTraceSeen)
        if (w.trace[w.mciTraceSeen].compare(0, 14, "process start ") == 0) w.mciProcess = w.mciTraceSeen + 1;
    return w.processRunning ? w.mciProcess : 0;
}

MciDevice* FindDevice(const std::string& name)
{
    for (MciDevice& device : W().mciDevices)
        if (SameText(device.alias, name)) return &device;
    return NULL;
}

void Close(UINT id)
{
    auto& devices = W().mciDevices;
    devices.erase(std::remove_if(devices.begin(), devices.end(), [id](const MciDevice& d) { return d.id == id; }),
                  devices.end());
}

// The drive cdaudio addresses: byte 0 of "Default Drive" at the moment the
// device opens; a missing, empty or too large value means the first drive.
size_t DefaultDrive()
{
    auto value = GetRegValue("HKLM\\System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio",
                             "Default Drive");
    size_t index = value && !value->data.empty() ? static_cast<unsigned char>(value->data[0]) : 0;
    return index < W().cdDrives.size() ? index : 0;
}

// winmm's integers: decimal, or up to four bytes separated by colons, the
// first one lowest ("03:01:22:45" is track 3, 1 min 22 s 45 frames).
bool ParseInteger(const std::string& text, DWORD* value)
{
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    bool negative = text[i] == '-';
    if (negative) ++i;
    DWORD total = 0, shift = 0;
    bool digits = false;
    for (;;) {
        DWORD part = 0;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, digits = true)
            part = part * 10 + static_cast<DWORD>(text[i] - '0');
        if (i < text.size() && text[i] == ':') {
            if (part >= 256 || shift >= 24) return false;
            total |= part << shift;
            shift += 8;
            ++i;
            continue;
        }
        if (text.find_first_not_of(" \t", i) != std::string::npos) return false;
        if (!digits || (shift && (part >= 256 || negative))) return false;
        total |= part << shift;
        *value = negative ? 0 - total : total;
        return true;
    }
}

std::string Colonized(DWORD frames)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(frames / 4500 % 256),
                  static_cast<unsigned>(frames / 75 % 60), static_cast<unsigned>(frames % 75));
    return text;
}

// Positions in the device's time format; lengths are never given as tmsf.
std::string TimeText(const MciDevice& device, const Disc& disc, DWORD frames, bool isLength)
{
    if (device.timeFormat == kFormatMilliseconds) return std::to_string(frames * 1000ULL / kFramesPerSecond + 1);
    if (device.timeFormat == kFormatTmsf && !isLength) return Tmsf(disc, frames);
    return Colonized(frames);
}

DWORD FrameOf(const MciDevice& device, const Disc& disc, DWORD time)
{
    DWORD b0 = time & 0xFF, b1 = (time >> 8) & 0xFF, b2 = (time >> 16) & 0xFF, b3 = time >> 24;
    if (device.timeFormat == kFormatMilliseconds) return ((time - 1) * kFramesPerSecond + 500) / 1000;
    if (device.timeFormat == kFormatMsf) return b0 * 4500 + b1 * 75 + b2;
    if (b0 < 1 || b0 > disc.tracks.size()) return 0;
    return TrackStart(disc, b0 - 1) + b1 * 4500 + b2 * 75 + b3;
}

// Playing and seeking land on audio: a position in a data track moves to
// the next audio track, and the lead-out to the last frame before it.
MCIERROR SkipDataTracks(const Disc& disc, DWORD* frame)
{
    DWORD leadOut = TrackStart(disc, disc.tracks.size());
    if (*frame < kLeadIn || *frame >= leadOut) return MCIERR_OUTOFRANGE;
    size_t track = TrackAt(disc, *frame);
    while (track < disc.tracks.size() && !disc.tracks[track].audio) ++track;
    *frame = std::max(*frame, TrackStart(disc, track));
    if (*frame == leadOut) --*frame;
    return 0;
}

// What reading the table of contents needs: a loaded disc with tracks.
MCIERROR NeedTracks(const CdDrive& drive)
{
    if (!MediaLoaded(drive)) return MCIERR_DEVICE_NOT_READY;
    return drive.disc.tracks.empty() ? MCIERR_HARDWARE : 0;
}

// The drive an element names: exactly a letter and a colon, the form every
// Windows takes ("D:\" fails before Windows 2000), of a CD drive.
bool ElementDrive(const std::string& element, size_t* drive)
{
    if (element.size() != 2 || !std::isalpha(static_cast<unsigned char>(element[0])) || element[1] != ':') return false;
    const std::vector<CdDrive>& drives = W().cdDrives;
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(element[0])));
    for (*drive = 0; *drive < drives.size(); ++*drive)
        if (drives[*drive].letter == letter) return true;
    return false;
}

// "open cdaudio ..." addresses the drive "Default Drive" names; "open D:
// type cdaudio ..." the drive of its element, and is known by the element
// unless an alias is given.
MCIERROR Open(const std::string& name, const std::string& options, std::string* answer)
{
    MciDevice device;
    device.alias = name;
    std::string type = name;
    bool named = false;
    std::istringstream words(options);
    for (std::string word; words >> word;) {
        if (word == "alias" && words >> device.alias) named = true;
        else if (word == "type" && words >> type) continue;
        else if (word == "shareable") device.shareable = true;
        else if (word != "wait") return MCIERR_UNRECOGNIZED_COMMAND;
    }
    if (!SameText(type, "cdaudio")) return MCIERR_INVALID_DEVICE_NAME;
    World& w = W();
    if (w.cdDrives.empty()) return MCIERR_CANNOT_LOAD_DRIVER;
    if (FindDevice(device.alias)) return named ? MCIERR_DUPLICATE_ALIAS : MCIERR_DEVICE_OPEN;
    device.drive = DefaultDrive();
    if (type != name && !ElementDrive(name, &device.drive)) return MCIERR_INVALID_FILE;
    device.timeFormat = kFormatMsf;
    device.process = CurrentProcess();
    for (const MciDevice& other : w.mciDevices)
        if (other.drive == device.drive && !(other.shareable && device.shareable)) return MCIERR_MUST_USE_SHAREABLE;
    for (device.id = 1; std::any_of(w.mciDevices.begin(), w.mciDevices.end(),
                                    [&device](const MciDevice& d) { return d.id == device.id; });)
        ++device.id;
    w.mciDevices.push_back(device);
    *answer = std::to_string(device.id);
    return 0;
}

MCIERROR Status(const MciDevice& device, const std::string& item, std::string* answer)
{
    CdDrive& drive = W().cdDrives[device.drive];
    if (item == "media present") {
        *answer = MediaLoaded(drive) ? "true" : "false";
        return 0;
    }
    const std::string trackItem = "length track ";
    bool ofTrack = item.compare(0, trackItem.size(), trackItem) == 0;
    DWORD track = 0;
    if (ofTrack && !ParseInteger(item.substr(trackItem.size()), &track)) return MCIERR_BAD_INTEGER;
    if (MCIERROR error = NeedTracks(drive)) return error;
    const Disc& disc = drive.disc;
    size_t count = disc.tracks.size();
    if (item == "number of tracks") {
        *answer = std::to_string(count);
    } else if (item == "current track") {
        *answer = std::to_string(TrackAt(disc, CurrentFrame(drive)) + 1);
    } else if (item == "position") {
        *answer = TimeText(device, disc, CurrentFrame(drive), false);
    } else if (item == "length") {
        // One frame short of the disc, as Windows counts the last track.
        *answer = TimeText(device, disc, TrackStart(disc, count) - kLeadIn - 1, true);
    } else if (ofTrack) {
        if (track < 1 || track > count) return MCIERR_OUTOFRANGE;
        *answer = TimeText(device, disc, disc.tracks[track - 1].frames - (track == count ? 1 : 0), true);
    } else {
        return MCIERR_UNRECOGNIZED_KEYWORD;
    }
    return 0;
}

MCIERROR Set(MciDevice& device, const std::string& what)
{
    CdDrive& drive = W().cdDrives[device.drive];
    if (what == "time format tmsf") {
        device.timeFormat = kFormatTmsf;
    } else if (what == "door open wait" || what == "door closed wait") {
        bool open = what == "door open wait";
        if (drive.trayOpen != open) {
            // "wait": the call returns once the tray has moved; the thread does nothing meanwhile.
            BlockFor(drive.doorTime);
            MoveTray(drive, open);
        }
    } else {
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
    return 0;
}

MCIERROR Play(CdDrive& drive)
{
    if (MCIERROR error = NeedTracks(drive)) return error;
    DWORD from = CurrentFrame(drive);
    if (MCIERROR error = SkipDataTracks(drive.disc, &from)) return error;
    DWORD to = TrackStart(drive.disc, drive.disc.tracks.size()) - 1;
    // Nothing left to play (the end, or data tracks only): done at once.
    if (from == to) return 0;
    drive.play = CdDrive::Play::Playing;
    drive.playFrom = from;
    drive.playTo = to;
    drive.playStartedAt = W().now;
    return 0;
}

MCIERROR Seek(const MciDevice& device, CdDrive& drive, const std::string& target)
{
    DWORD time = 0;
    if (target.compare(0, 3, "to ") != 0 || !ParseInteger(target.substr(3), &time)) return MCIERR_BAD_INTEGER;
    // Seeking stops a play first, whatever comes of the seek.
    StopPlay(drive);
    if (MCIERROR error = NeedTracks(drive)) return error;
    DWORD frame = FrameOf(device, drive.disc, time);
    if (MCIERROR error = SkipDataTracks(drive.disc, &frame)) return error;
    drive.position = frame;
    return 0;
}

MCIERROR Run(MciDevice& device, const std::string& verb, const std::string& rest, std::string* answer)
{
    CdDrive& drive = W().cdDrives[device.drive];
    if (verb == "close") {
        Close(device.id);
        return 0;
    }
    if (verb == "set") return Set(device, rest);
    if (verb == "status") return Status(device, rest, answer);
    if (verb == "play") return Play(drive);
    if (verb == "seek") return Seek(device, drive, rest);
    if (verb == "pause" || verb == "stop") {
        // The drive refuses audio commands without a disc.
        if (!MediaLoaded(drive)) return MCIERR_HARDWARE;
        DWORD frame = CurrentFrame(drive);
        if (verb == "stop") {
            StopPlay(drive);
        } else if (drive.play == CdDrive::Play::Playing) {
            drive.position = frame;
            drive.play = CdDrive::Play::Paused;
        }
        return 0;
    }
    return MCIERR_UNRECOGNIZED_COMMAND;
}

// An answer the test gave for this command, in place of the drive's.
bool Answered(const std::string& command, std::string* answer)
{
    auto& answers = W().mciAnswers;
    for (auto it = answers.begin(); it != answers.end(); ++it) {
        if (it->command != command) continue;
        *answer = it->answer;
        Log("mciSendStringA answered on request");
        if (--it->times <= 0) answers.erase(it);
        return true;
    }
    return false;
}

MCIERROR Execute(const std::string& command, std::string* answer)
{
    size_t verbEnd = command.find(' ');
    if (verbEnd == std::string::npos) return MCIERR_MISSING_DEVICE_NAME;
    std::string verb = command.substr(0, verbEnd);
    size_t nameEnd = std::min(command.find(' ', verbEnd + 1), command.size());
    std::string name = command.substr(verbEnd + 1, nameEnd - verbEnd - 1);
    std::string rest = nameEnd < command.size() ? command.substr(nameEnd + 1) : "";
    if (verb == "open") return Open(name, rest, answer);
    if (MciDevice* device = FindDevice(name)) return Run(*device, verb, rest, answer);
    // A device type named in a command is opened for that command alone; never for close.
    if (verb == "close" || !SameText(name, "cdaudio")) return MCIERR_INVALID_DEVICE_NAME;
    std::string id;
    if (MCIERROR error = Open(name, "wait", &id)) return error;
    MciDevice* device = FindDevice(name);
    UINT opened = device->id;
    MCIERROR result = Run(*device, verb, rest, answer);
    Close(opened);
    return result;
}

}  // namespace

const std::vector<MciCall>& MciLog()
{
    return W().mciCalls;
}

std::vector<std::string> MciCommands()
{
    std::vector<std::string> commands;
    for (const MciCall& call : W().mciCalls) commands.push_back(call.command);
    return commands;
}

void FailMci(const std::string& command, MCIERROR error, int times)
{
    FailCall("mciSendStringA", command, error, times);
}

void AnswerMci(const std::string& command, const std::string& answer, int times)
{
    W().mciAnswers.push_back(MciAnswer{command, answer, times});
}

void AnswerMciWith(MciDriver driver)
{
    W().mciDriver = driver;
}

std::vector<std::string> OpenMciDevices()
{
    std::vector<std::string> aliases;
    for (const MciDevice& device : W().mciDevices) aliases.push_back(device.alias);
    return aliases;
}

}  // namespace sim

using namespace sim;

MCIERROR WINAPI mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND)
{
    std::string text = command ? command : "";
    if (returnString && returnLength) returnString[0] = '\0';
    Log("mciSendStringA " + Describe(text.c_str()));
    if (!ProgramSends(text))
        throw Failure("the program sent the MCI command " + Describe(text.c_str()) +
                      ", which it is not written to send");
    World& w = W();
    size_t process = CurrentProcess();
    w.mciDevices.erase(std::remove_if(w.mciDevices.begin(), w.mciDevices.end(),
                                      [process](const MciDevice& d) { return d.process != process; }),
                       w.mciDevices.end());

    MciCall call;
    call.command = text;
    call.at = w.now;
    DWORD lastError = w.lastError;   // MCI leaves the thread's last error alone
    if (Faulted("mciSendStringA", text)) call.result = static_cast<MCIERROR>(w.lastError);
    else if (w.mciDriver && w.mciDriver(text, &call.result, &call.answer)) Log("mciSendStringA decided by the driver");
    else if (!Answered(text, &call.answer)) call.result = Execute(text, &call.answer);
    w.lastError = lastError;
    if (call.result != 0) call.answer.clear();
    // An answer longer than the buffer is cut to fit, with its NUL.
    if (call.result == 0 && returnString && returnLength) {
        size_t count = std::min<size_t>(call.answer.size(), returnLength - 1);
        memcpy(returnString, call.answer.data(), count);
        returnString[count] = '\0';
    }
    w.mciCalls.push_back(call);
    return call.result;
}
