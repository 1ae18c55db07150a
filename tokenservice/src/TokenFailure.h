#pragma once

#include <string>

// Why an operation failed: a short title and the explanation. The calls report the two as the
// first and second text of TOKENERROR, the tool as one line.
struct TokenFailure {
    std::string title;
    std::string explanation;
    // The database could not be read or written, as opposed to a request it cannot satisfy.
    bool storage = false;
};
