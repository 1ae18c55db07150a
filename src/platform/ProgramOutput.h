#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class QSocketNotifier;

// What a started program writes on its standard output and error, through a pipe that this
// program reads from its event loop as it comes, never waiting, so a full pipe never stalls the
// writer. Each line goes on to this program's standard error after the writer's name, for a
// terminal or the session log; the last lines are kept for a message.
//
// Something the program leaves running may hold the pipe after the program has ended (a daemon
// it started). Reading goes on until the pipe's end, for as long as the object lives. When the
// object goes before that, a cat of its own takes the pipe over and passes the rest on to standard
// error: without a reader, a write there would end the writer with SIGPIPE.
class CProgramOutput {
public:
    // At most this many bytes of the last lines are kept.
    static constexpr std::size_t kKeptBytes = 1024;

    // A pipe for the output of the program called `name`; null when none can be made.
    static std::unique_ptr<CProgramOutput> Open(std::string name);
    ~CProgramOutput();
    CProgramOutput(const CProgramOutput&) = delete;
    CProgramOutput& operator=(const CProgramOutput&) = delete;

    // The end the program writes to: its standard output and error.
    int WriteEnd() const { return m_writeEnd; }
    // The program holds its own copy of the write end now: this one closes it and starts reading.
    void Started();
    // Reads what is there now, without waiting.
    void ReadAvailable();
    // True once every writer has closed the pipe.
    bool Ended() const { return m_ended; }
    // The last lines written (a line not yet ended included), controls shown escaped.
    std::string LastLines() const;

private:
    CProgramOutput(std::string name, int readEnd, int writeEnd);
    void TakeLine(std::string_view line, std::string& passedOn);
    void HandOver();

    std::string m_name;
    int m_readEnd;
    int m_writeEnd;
    bool m_ended = false;
    std::string m_partial; // the line being written
    std::string m_kept;    // the last whole lines, each ended by "\n"
    std::unique_ptr<QSocketNotifier> m_notifier;
};
