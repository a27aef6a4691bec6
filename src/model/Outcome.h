#pragma once

#include <string>
#include <utility>

namespace tarnwick {

// How a piece of work ended, told by the code that knew: the front ends show the text and
// take their exit codes, notices and remote answers from the kind, never from the text.
enum class OutcomeKind {
    Done,           // everything asked for is in place
    Network,        // no connection, a timeout, a transfer cut short
    ServerRefused,  // an error status, a missing file, an answer that is not the file
    Disk,           // a local file or folder could not be made or written
    Mismatch,       // the finished file's checksum or length is not the one expected
    BadRequest,     // the request cannot be carried out as given: an address not understood
    Interrupted,    // stopped before its end (exit, a signal); it continues next time
    Cancelled,      // its entry was deleted while it ran
    PartlyDone,     // some of it is in place: pages or engines that failed beside others
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::Done;
    std::string text;  // what the user reads: "Success", the server's or libcurl's words, ...

    static Outcome Done(std::string text = "Success") {
        return {OutcomeKind::Done, std::move(text)};
    }
    bool IsDone() const { return kind == OutcomeKind::Done; }
};

}  // namespace tarnwick
