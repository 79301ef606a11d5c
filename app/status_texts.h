#pragma once
// Every text the status label can show, in one list: a new text is one line here. Code
// names a text by its words, Status("Dir log run complete"), and the build fails for words
// that are not in the list, so the user guide's status table, which a test holds to this
// list, tells the user everything the window can say. A part in braces ({n}, {path}) is
// filled in when the text is shown; a text has at most two.

#include <array>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::array STATUS_TEXTS = {
    std::string_view("Dir log run started"),
    std::string_view("Dir log interval run #{n} complete"),
    std::string_view("Dir log interval run #{n} started"),
    std::string_view("Dir log run complete"),
    std::string_view("Dir log run aborted"),
    std::string_view("Failed To read directory {path}, skipping"),
    std::string_view("Failed To read {path}, skipping"),
    std::string_view("Datafile ERROR! Failed to save datafile"),
    std::string_view("Datafile ERROR! (Please delete old datafile prior to v1.3)"),
    std::string_view("Datafile ERROR! (Please delete old datafiles prior to v1.3)"),
    std::string_view("Datafile ERROR! Datafile is locked by another program"),
    std::string_view("Datafile ERROR! Failed to read datafile {name}: {reason}"),
    std::string_view("Datafile ERROR! Datafile {name} is a directory"),
    std::string_view("Datafile ERROR! Datafile {name} holds the list of another directory: "
                     "{directory}"),
    std::string_view("Database access failed. Stopping."),
    std::string_view("Database creation 1 failed. Stopping."),
    std::string_view("Database creation 2 failed. Stopping."),
    std::string_view("Log file and datafile must be different files"),
    std::string_view("Failed to read log file {path}"),
    std::string_view("Failed to write log file {path}"),
    std::string_view("Failed to write log file {path} (locked by another program)"),
    std::string_view("Failed to read marker file {path}"),
    std::string_view("Failed to write marker file {path}"),
    std::string_view("Change lines owed to another log file are written to {path}"),
    std::string_view("Change lines owed to log file {path} are kept until a log file is chosen"),
};

// One text of the list.
class StatusText {
public:
    // The text as shown: its parts in braces, if it has any, replaced by `part` and
    // `second` in their order.
    std::string Filled(std::string_view part = {}, std::string_view second = {}) const;

private:
    friend consteval StatusText Status(std::string_view words);
    constexpr explicit StatusText(std::string_view words) : words_(words) {}

    std::string_view words_;
};

// Called only for words missing from STATUS_TEXTS, where it stops the build.
void StatusTextMissingFromTheList();

consteval StatusText Status(std::string_view words) {
    for (const std::string_view text : STATUS_TEXTS) {
        if (text == words) return StatusText(text);
    }
    StatusTextMissingFromTheList();
    return StatusText(words);
}

}  // namespace app
