#include "Converters/Archive/ArchivePasswordDialogue.h"

namespace vantory::ArchivePasswordDialogue {

namespace {

// Shared head of every script. `expect -c` exits 0 after a script error, so the whole
// dialogue runs inside `catch` and an error becomes the failure status. The password is
// taken out of the environment before the tool starts, so the tool never inherits it.
//
// `answer`: zip and unzip print their password prompt first and then switch the terminal's
// echo off with a flush of pending input, so an answer sent as soon as the prompt shows can
// be thrown away, and the tool then waits forever. The answer goes once echo is off (or
// after about five seconds for a tool that never switches it off).
//
// `finish` waits for the tool and exits with its status; a tool killed by a signal
// (wait then reports CHILDKILLED after the four usual fields), a wait that failed, or a
// tool that ended with 0 before the dialogue was complete count as a failed dialogue.
const char* const head = R"(set timeout -1
log_user 0
proc answer {text} {
    global spawn_out
    for {set tries 0} {$tries < 1000} {incr tries} {
        if {[catch {exec /bin/stty -a < $spawn_out(slave,name)} modes]} break
        if {[regexp {(^|\s)-echo(\s|$)} $modes]} break
        after 5
    }
    send -- "$text\r"
}
proc finish {dialogueDone rejected} {
    set result [wait]
    if {[llength $result] > 4 || [lindex $result 2] != 0} { exit 255 }
    set status [lindex $result 3]
    if {$status == 0 && !$dialogueDone} { exit 255 }
    if {$status != 0 && $rejected} { exit 82 }
    exit $status
}
if {[catch {
    set password $env(VANTORY_PASSWORD)
    unset env(VANTORY_PASSWORD)
)";

const char* const tail = R"(} message]} {
    exit 255
}
exit 255)";

const char* const zipcloakDialogue = R"(    spawn -noecho $env(VANTORY_TOOL) $env(VANTORY_ARCHIVE)
    expect {
        "Enter password:" {}
        eof { finish 0 0 }
    }
    answer $password
    expect {
        "line too long" { exit 255 }
        "Verify password:" {}
        eof { finish 0 0 }
    }
    answer $password
    expect {
        "line too long" { exit 255 }
        eof {}
    }
    finish 1 0
)";

// unzip asks "[archive] entry password: " for an encrypted entry and, after a wrong answer,
// "password incorrect--reenter: ". Every first prompt gets the password; a re-prompt gets an
// empty line, which makes unzip stop asking and skip what it cannot open, so the dialogue
// always ends. An empty password cannot be typed at all (unzip reads it as "skip").
const char* const unzipDialogue = R"(    set rejected 0
    expect {
        "line too long" { exit 255 }
        -re {password incorrect--reenter: $} {
            set rejected 1
            answer ""
            exp_continue
        }
        -re {password: $} {
            if {$password eq ""} { set rejected 1 }
            answer $password
            exp_continue
        }
        eof {}
    }
    finish 1 $rejected
)";

std::string script(const std::string& dialogue)
{
    return std::string(head) + dialogue + tail;
}

} // namespace

std::string encryptScript()
{
    return script(zipcloakDialogue);
}

std::string extractScript()
{
    return script(std::string("    spawn -noecho $env(VANTORY_TOOL) -o -q $env(VANTORY_ARCHIVE) -d $env(VANTORY_DESTINATION)\n")
                  + unzipDialogue);
}

std::string testScript()
{
    return script(std::string("    spawn -noecho $env(VANTORY_TOOL) -t -q $env(VANTORY_ARCHIVE)\n") + unzipDialogue);
}

} // namespace vantory::ArchivePasswordDialogue
