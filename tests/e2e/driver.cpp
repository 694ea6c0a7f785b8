// End-to-end driver: runs one scenario script against the real listsoftware window the way an
// operator would, and says whether every step behaved as the script expects.
//
// Usage: driver.exe SCRIPT. SCRIPT is a UTF-8 text file (a byte order mark is allowed), one command
// per line. Blank lines and lines whose first non-blank character is '#' are ignored. Each command
// is printed as "line N: <command>" before it runs. The first command that fails prints
//     FAIL line N: <command>: <reason>
// (the reason names what was expected and what was found) and the driver exits with 1; when
// every command has passed it prints "PASS" and exits with 0 (2: wrong command line). After a
// failure the driver saves the screen to the file named by "fail-screenshot" (if any) and ends the
// program it started with "start" (never one it found with "attach"), so that no half-driven
// program is left over.
//
// Arguments
//   ID          a window of the program by name or number: the main window (MainWindow 0) or
//               one of its controls by control id: ComputerField 2, ListSoftwareButton 3,
//               SoftwareListView 4, SaveListButton 6, SaveInstallTypeCheck 7, SaveVersionCheck 8,
//               SaveInstallDateCheck 9, SaveInstallLocationCheck 10, SaveUninstallCommandCheck 11,
//               ClearListButton 12, StatusLine 13, SearchField 14, SearchClearLink 15.
//   N, ROW, COL, X, Y, CODE  a whole number (decimal, or hexadecimal after 0x); MS and COUNT
//               one from 0. A command takes no more words than it names.
//   TEXT        the rest of the line after the one blank that ends the previous argument, kept
//               exactly as written (leading and trailing blanks count), with the escapes
//               \n \t \r \b \\ and \xHHHH (one UTF-16 code unit, exactly four hex digits); any
//               other backslash sequence is an error. An empty rest is the empty text.
//   PATH, FILE  taken as written, without escapes, so that Windows paths keep their
//               backslashes. A relative rows FILE of expect-rows is relative to the script's
//               folder; every other relative path (the program, dump-rows, screenshots, the
//               save dialog's file) to the current directory, which the program inherits, so
//               that a run writes nothing beside its scripts.
//   [t]         the command takes an optional last token "timeout=MS": how long it waits
//               instead of the default (5000 ms, changed by "timeout MS"). A TEXT whose last
//               word really is such a token is written with an escape in it: "\x0074imeout=5".
//
// Every command that waits for the program polls until its condition holds or its time runs
// out, because the program handles input asynchronously from its own loop. A check can only
// tell states apart, not moments: the status line keeps "Completed Successfully" from an
// earlier request, so a script that starts a second request first sets the status line to a
// marker ("set-text StatusLine -") and then waits for the new status.
//
// Program
//   start PATH [ARGS...]     start the program (PATH may be in double quotes; ARGS go on its
//                            command line as written) and wait up to 20 s for its top-level
//                            window titled exactly "List Software on a Remote PC ('.' For
//                            local machine)"; then, when the environment variable LS_E2E_INJECT
//                            names a library, inject it.
//   attach [t]               use an already running window with that title instead.
//   run PATH [ARGS...] [t]   run another program (PATH and ARGS as for start), wait until it
//                            has ended and pass when its exit code is 0; the program under
//                            test stays the one driven.
//   close                    the close box: WM_SYSCOMMAND SC_CLOSE posted to the main window.
//   close-message            WM_CLOSE posted to the main window, as other programs ask a
//                            window to close (taskkill without /f); it arrives even while the
//                            window is disabled behind a modal box, when the close box does not.
//   close-message session [t]  as Restart Manager closes a program for an installer: sends
//                            WM_QUERYENDSESSION (ENDSESSION_CLOSEAPP), which must answer 1, then
//                            WM_ENDSESSION (TRUE, ENDSESSION_CLOSEAPP), which must be taken.
//   expect-exit CODE [t]     the program ends with exit code CODE (waits on its process).
//   expect-alive             the program is still running.
//   kill                     TerminateProcess, for cleanup; succeeds when nothing runs.
//   inject PATH [t]          load the library PATH into the program (a thread of the program
//                            runs LoadLibraryW with it) and wait until it has; fails when the
//                            library was not loaded.
//
// Input (posted to the program, so it acts on it from its own loop)
//   set-text ID TEXT         WM_SETTEXT.
//   paste ID COUNT TEXT      put TEXT repeated and cut to exactly COUNT code units on the
//                            clipboard and post WM_PASTE to the control, as Ctrl+V would; the
//                            control takes what its limit allows.
//   type ID TEXT             one posted WM_CHAR per UTF-16 code unit; \b is a backspace, which
//                            deletes in an edit. Posted messages keep their order among each
//                            other, but a later set-text is sent and may overtake them: follow
//                            "type" with an expect-* before a set-text of the same control.
//   click ID                 a button click: BM_CLICK posted to the button.
//   check ID                 the same for a check box.
//   enter ID                 make the main window the foreground window, then post
//                            WM_KEYDOWN and WM_KEYUP of VK_RETURN to the control (the program
//                            turns Enter into its shortcut with an accelerator table).
//   foreground               make the main window the foreground window.
//   press KEY...             real key strokes (SendInput) to the foreground window, one per
//                            word: a letter, a digit, f1-f12, down, up, return, escape, tab,
//                            apps, space, each optionally after ctrl+, shift+ or alt+ ("ctrl+c",
//                            "shift+tab"). They go to the control with the keyboard focus.
//   sleep MS                 wait.
//   timeout MS               set the default time-out of the commands marked [t].
// "click", "check", "type" and "paste" first wait (default time-out) until the control is
// enabled and visible, as an operator would; they fail if it never is.
//
// Real mouse input (SetCursorPos + SendInput; the point must not be covered by another window)
//   mouse-click ID           left button down and up at the centre of control ID.
//   move-to ID X Y           move the mouse to client point X,Y of control ID (MainWindow: the
//                            main window's client area); the point may lie outside the control.
//   move-to-row ROW          move to the centre of the visible part of list row ROW.
//   post-mousemove ID        the mouse stays where it is: post control ID a WM_MOUSEMOVE at the
//                            cursor's position in its client coordinates, no MK_ flags, as
//                            Windows posts one when a window appears, moves or is redrawn under
//                            a cursor that did not move. Fails unless the cursor is over the
//                            control (the window that would get the message).
//   show-column COL          scroll the list sideways (LVM_SCROLL) so that header item COL
//                            starts at the left of the header, as the scroll bar would.
//   click-row ROW [COL] [right]  left click at the centre of the visible part of list row ROW,
//                            or of its cell in column COL; "right": with the right button.
//   click-header COL         left click at the centre of the visible part of header item COL
//                            of the list, then wait the double-click time plus 100 ms so that
//                            two header clicks never make a double click.
//
// Checks
//   expect-text ID TEXT [t]         the control's text (WM_GETTEXT) is TEXT.
//   expect-text-length ID N [t]     the control's text is N code units long (WM_GETTEXTLENGTH).
//   wait-status TEXT [t]            the same for StatusLine.
//   expect-enabled ID [ID...] [t]   every control named is enabled.
//   expect-disabled ID [ID...] [t]  every control named is disabled.
//   expect-checked ID 0|1 [t]       the check box is unticked (0) or ticked (1).
//   expect-focus ID [t]             the program thread's keyboard focus is control ID.
//   expect-on-screen ID [ID...]     every control named (MainWindow too) lies wholly inside the
//                                   work area of the screen.
//   expect-row-count N [t]          the list has N rows (">=N": at least N).
//   expect-selected ROW [t]         the list's only selected row is ROW (-1: none).
//   keep-column COL                 remember the text of column COL in every row, and which
//                                   row is selected, for the next check.
//   expect-kept-sorted COL ROW      what keep-column remembered holds, for some k from 1 to
//                                   the row count - 1: the first k rows of the list as it is
//                                   now (scan order), sorted ascending by column COL as text
//                                   without regard to case, then its other rows in their
//                                   order; the row that was selected is the one that is row
//                                   ROW now, and it was in view. Prints k.
//   expect-rows FILE [t]            the list's rows, every column, equal FILE.
//   dump-rows FILE                  write the list's rows to FILE (how expectations are made).
//   expect-row-background ROW RRGGBB [t]  the colour that covers most of the visible pixels of
//                                   list row ROW on the screen is red RR, green GG, blue BB
//                                   (hex); the hover colour is E5F3FF.
//   expect-header-arrow COL none|up|down [t]  the sort arrow of header item COL.
//   expect-row-background ROW contrast>=R [t]  in the visible part of list row ROW's first cell
//                                   (its grid lines left out), the colour that most contrasts
//                                   with the one that covers most of it (the text against its
//                                   background) has a WCAG 2 contrast ratio of R or more.
//   expect-name ID TEXT [t]         a screen reader's name of control ID (accName of its client
//                                   object, through AccessibleObjectFromWindow) is TEXT.
//   count-announcements             from now on, count the live-region events
//                                   (EVENT_OBJECT_LIVEREGIONCHANGED) of the status line.
//   expect-announcements N [t]      N have come since count-announcements (">=N": at least N).
//   expect-clipboard TEXT [t]       the clipboard holds TEXT as Unicode text (CF_UNICODETEXT).
//   expect-menu [t]                 the program shows a popup menu.
// A rows FILE is UTF-8, one row per line (LF or CR LF), the fields of a row separated by TAB,
// with the escapes \t \n \r \\ (and \b, \xHHHH) inside fields; an empty file is an empty list.
//
// Message boxes and dialogs (top-level "#32770" windows of the program's process)
//   expect-box TITLE\tTEXT [t]       a box titled TITLE shows TEXT (its static, id 0xFFFF); the
//                                    title and the text are separated by the escape \t. Without
//                                    \tTEXT: a box or dialog titled TITLE is open, in the
//                                    foreground (where "press" sends its keys).
//   expect-no-box [t]                the program shows no box or dialog.
//   answer-box TITLE BUTTON [t]      press button yes|no|ok|cancel of the box titled TITLE and
//                                    wait until the box is gone.
//   save-dialog PATH [t]             in the "Save Application List" dialog put PATH into the
//                                    file name field and press Save; wait until it is gone.
//   cancel-dialog TITLE [t]          press Cancel in the dialog or box titled TITLE and wait
//                                    until it is gone.
// A button of a box or dialog is pressed by posting to the box the WM_COMMAND that the button
// itself sends when clicked (BN_CLICKED with the button's id and window).
//
// Artefacts
//   screenshot FILE.bmp      save the whole screen as a 24-bit BMP.
//   fail-screenshot FILE.bmp save the screen there if a later command fails.
//
// Timing (benchmarks)
//   mark                     remember now.
//   elapsed LABEL            print "elapsed LABEL <ms> ms", the time since the last mark.
//   paint ID                 make control ID paint what is invalid and wait until it has.
//   poll-interval MS         how often waiting commands look again (default 20 ms).
//   click-header COL nowait  the header click without the double-click pause after it.
//
// This file runs the script and holds sleep, timeout, timing and artefacts; process.cpp the
// program's commands, input.cpp input and the mouse, checks.cpp checks of controls, the clipboard
// and the menu, list_view.cpp those of the list, boxes.cpp boxes; session.cpp names the IDs.
#include <objbase.h>

#include <cstdio>

#include "process.h"
#include "screen.h"

namespace e2e {
namespace {

// ----- the script's own commands: waiting, timing, artefacts -------------------------------

Outcome SleepFor(Session&, const Command& c) {
    PumpFor(DWORD(c.numbers[0]));
    return Pass();
}

Outcome SetTimeout(Session& s, const Command& c) {
    s.defaultTimeout = DWORD(c.numbers[0]);
    return Pass();
}

Outcome PollInterval(Session&, const Command& c) {
    if (c.numbers[0] < 1 || c.numbers[0] > 1000) return Fail(L"expected 1 to 1000 ms");
    pollIntervalMs = DWORD(c.numbers[0]);
    return Pass();
}

Outcome Mark(Session& s, const Command&) {
    s.mark = Clock::now();
    return Pass();
}

// Prints "elapsed LABEL <ms> ms": the time since the last mark.
Outcome Elapsed(Session& s, const Command& c) {
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - s.mark).count();
    wchar_t text[64];
    swprintf(text, 64, L"%.1f", ms);
    Print(L"elapsed " + c.args + L" " + text + L" ms\n");
    return Pass();
}

// Makes the control paint what is invalid now and waits until it has.
Outcome Paint(Session&, const Command& c) {
    if (!RedrawWindow(c.ids[0].window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN)) {
        return FailWithError(L"RedrawWindow failed");
    }
    return Pass();
}

Outcome Screenshot(Session&, const Command& c) {
    return SaveScreenshot(FullPath(c.rest));
}

Outcome FailScreenshot(Session& s, const Command& c) {
    s.failScreenshot = FullPath(c.rest);
    return Pass();
}

std::span<const CommandKind> ScriptCommands() {
    static const CommandKind kCommands[] = {
        {L"sleep", L"MS", SleepFor},
        {L"timeout", L"MS", SetTimeout},
        {L"poll-interval", L"MS", PollInterval},
        {L"mark", L"", Mark},
        {L"elapsed", L"LABEL", Elapsed},
        {L"paint", L"ID", Paint},
        {L"screenshot", L"FILE", Screenshot},
        {L"fail-screenshot", L"FILE", FailScreenshot},
    };
    return kCommands;
}

// ----- running a script ----------------------------------------------------------------------

// Runs one command line; the Outcome says why it failed.
Outcome Run(Session& s, std::wstring_view line) {
    auto [name, args] = SplitFirst(line);
    const CommandKind* kind = nullptr;
    for (auto commands : {ProgramCommands(), InputCommands(), CheckCommands(), ListCommands(),
                          BoxCommands(), ScriptCommands()}) {
        for (const CommandKind& candidate : commands) {
            if (name == candidate.name) kind = &candidate;
        }
    }
    if (kind == nullptr) return Fail(L"unknown command " + Quoted(name));
    Command command;
    command.name = name;
    command.args = args;
    command.timeout = s.defaultTimeout;
    if (Outcome o = s.ParseArguments(kind->syntax, command); !o.ok) return o;
    return kind->handler(s, command);
}

// After a failure: the screenshot asked for and the end of the program started here.
void CleanUpAfterFailure(const Session& s) {
    if (!s.failScreenshot.empty()) SaveScreenshot(s.failScreenshot);
    if (s.target.startedHere && s.target.process != nullptr) EndProcess(s.target.process);
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    using namespace e2e;
    if (argc != 2) {
        Print(L"usage: driver.exe SCRIPT\n");
        return 2;
    }
    std::wstring scriptPath = FullPath(argv[1]);
    auto script = ReadTextFile(scriptPath);
    if (!script) {
        Print(L"FAIL line 0: " + scriptPath + L": cannot read the script (" + LastErrorText() +
              L")\n");
        return 1;
    }
    // For the accessible objects of expect-name.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Session session;
    session.scriptFolder = FolderOf(scriptPath);
    int lineNumber = 0;
    for (std::wstring_view line : Lines(*script)) {
        ++lineNumber;
        while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
        if (line.empty() || line.front() == L'#') continue;

        Print(L"line " + std::to_wstring(lineNumber) + L": " + std::wstring(line) + L"\n");
        Outcome outcome = Run(session, line);
        if (!outcome.ok) {
            Print(L"FAIL line " + std::to_wstring(lineNumber) + L": " + std::wstring(line) + L": " +
                  outcome.reason + L"\n");
            CleanUpAfterFailure(session);
            return 1;
        }
    }
    Print(L"PASS\n");
    return 0;
}
