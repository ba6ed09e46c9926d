#include "tools/unitcheck/units_program.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Run {
    int status;          // the exit status, or -1 when units did not end normally
    std::string output;  // standard output and error together
};

// Runs units with the fixed options and extra arguments; input, when given,
// is its standard input, else it reads nothing.
bool run_units(const std::vector<std::string>& extra, const std::string* input, Run& run, std::string& error)
{
    std::vector<std::string> words = {"units", "-f", "", "-t", "-d", "15"};
    words.insert(words.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    // No HOME and no UNITSFILE: "-f ''" then loads the system's file only.
    char locale[] = "LC_ALL=C";
    char english[] = "UNITS_ENGLISH=US";
    char* envp[] = {locale, english, nullptr};

    FILE* in = std::tmpfile();
    int pipe_ends[2];
    if (!in || pipe(pipe_ends) != 0) {
        if (in)
            std::fclose(in);
        error = std::string("cannot prepare the run of units: ") + std::strerror(errno);
        return false;
    }
    if (input) {
        std::fwrite(input->data(), 1, input->size(), in);
        std::fflush(in);
        std::rewind(in);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input)
        posix_spawn_file_actions_adddup2(&actions, fileno(in), 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
    pid_t pid;
    int failure = posix_spawnp(&pid, "units", &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);
    if (failure == 0) {
        char buffer[65536];
        ssize_t got;
        run.output.clear();
        while ((got = read(pipe_ends[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
            if (got > 0)
                run.output.append(buffer, size_t(got));
        int wait_status;
        while (waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
        }
        run.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
    }
    close(pipe_ends[0]);
    std::fclose(in);
    if (failure == ENOENT) {
        error = "GNU units is not installed (Debian package units; tools/setup.sh installs it)";
        return false;
    }
    if (failure != 0) {
        error = std::string("cannot run units: ") + std::strerror(failure);
        return false;
    }
    return true;
}

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// What units prints for a conversion with -t: a plain decimal number,
// possibly in the exponent form of %g.
bool is_number(const std::string& text)
{
    size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    size_t digits = 0;
    for (; i < text.size() && (is_digit(text[i]) || text[i] == '.'); ++i)
        digits += is_digit(text[i]);
    if (digits == 0)
        return false;
    if (i < text.size() && text[i] == 'e') {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (i == text.size())
            return false;
        while (i < text.size() && is_digit(text[i]))
            ++i;
    }
    return i == text.size();
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool answer_alone(const UnitsQuery& query, UnitsAnswer& answer, std::string& error)
{
    Run run;
    if (!run_units({query.have, query.want}, nullptr, run, error))
        return false;
    std::vector<std::string> lines = lines_of(run.output);
    answer.ok = run.status == 0 && lines.size() == 1 && is_number(lines[0]);
    answer.text = answer.ok ? lines[0] : "units cannot convert " + query.have + " to " + query.want + ": ";
    if (!answer.ok) {
        for (size_t i = 0; i < lines.size(); ++i)
            answer.text += (i ? " / " : "") + lines[i];
    }
    return true;
}

}  // namespace

std::string quantity_in(const std::string& definition, const std::string& value)
{
    bool plain_name = !definition.empty() && !is_digit(definition[0]);
    for (char c : definition)
        plain_name = plain_name && (is_digit(c) || c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    if (plain_name)
        return definition + "(" + value + ")";
    return value + " (" + definition + ")";
}

bool ask_units(const std::vector<UnitsQuery>& queries, std::vector<UnitsAnswer>& answers, std::string& error)
{
    answers.assign(queries.size(), UnitsAnswer{false, ""});
    // Read from its input, units takes the line after a failed "have" as the
    // next "have", so its answers line up with the queries only up to the
    // first failure. That query is asked again on its own, for units' own
    // message, and the rest go in a new run.
    size_t done = 0;
    while (done < queries.size()) {
        std::string input;
        for (size_t i = done; i < queries.size(); ++i)
            input += queries[i].have + "\n" + queries[i].want + "\n";
        Run run;
        if (!run_units({}, &input, run, error))
            return false;
        std::vector<std::string> lines = lines_of(run.output);
        size_t good = 0;
        while (done + good < queries.size() && good < lines.size() && is_number(lines[good])) {
            answers[done + good] = UnitsAnswer{true, lines[good]};
            ++good;
        }
        done += good;
        if (done == queries.size())
            break;
        if (!answer_alone(queries[done], answers[done], error))
            return false;
        ++done;
    }
    return true;
}
