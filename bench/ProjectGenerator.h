#pragma once

#include <string>

namespace korvana::bench {

// How many rows of each kind a generated project database gets on top of the
// rows of its description.
struct ProjectSize {
    int texts = 200000;
    int items = 50000;
    int trends = 20000;
    int messages = 100000;

    ProjectSize scaled(double factor) const;
    long total() const { return long{texts} + items + trends + messages; }
};

// Makes the new database `path` from the JSON description `descriptionFile`
// (normally the legacy project fixture) and fills it with generated texts,
// items, trends and messages that keep the description's keys and references
// valid. Returns the number of rows added.
long generateProject(const std::string& path, const std::string& descriptionFile,
                     const ProjectSize& size);

} // namespace korvana::bench
