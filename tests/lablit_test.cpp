// SPDX-License-Identifier: ISC
// Runs the lablit binary as its own process with exact argument bytes and
// checks stdout byte for byte, stderr and the exit status.
//
// usage: lablit_test PATH-TO-LABLIT GROUP [SEED]
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

const char *lablit;
int failures;

// Where the child's stdout goes: a file, a full device, nowhere (closed), or
// a pipe whose reader has gone, with SIGPIPE at its default or ignored.
enum class Out { capture, full, closed, no_reader, no_reader_sigpipe_ignored };

struct Result {
	std::string out, err;
	int status; // exit status, or 128 + signal number
};

std::string slurp(FILE *f)
{
	std::string s;
	char buf[65536];
	std::rewind(f);
	for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
		s.append(buf, n);
	std::fclose(f);
	return s;
}

// Stdout and stderr go to temporary files so that neither pipe can fill
// up and stall the child. With_argv0 false passes an empty argument vector.
Result run(const std::vector<std::string> &args, Out mode = Out::capture,
	   bool with_argv0 = true)
{
	std::vector<char *> argv;
	if (with_argv0)
		argv.push_back(const_cast<char *>(lablit));
	for (const std::string &a : args)
		argv.push_back(const_cast<char *>(a.c_str()));
	argv.push_back(nullptr);

	FILE *out = std::tmpfile(), *err = std::tmpfile();
	int pipefd[2] = { -1, -1 };
	if (!out || !err || pipe2(pipefd, O_CLOEXEC) != 0) {
		std::perror("tmpfile or pipe");
		std::exit(2);
	}
	close(pipefd[0]);
	posix_spawn_file_actions_t fa;
	posix_spawn_file_actions_init(&fa);
	posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
	if (mode == Out::capture)
		posix_spawn_file_actions_adddup2(&fa, fileno(out), 1);
	else if (mode == Out::full)
		posix_spawn_file_actions_addopen(&fa, 1, "/dev/full", O_WRONLY,
						 0);
	else if (mode == Out::closed)
		posix_spawn_file_actions_addclose(&fa, 1);
	else
		posix_spawn_file_actions_adddup2(&fa, pipefd[1], 1);
	posix_spawn_file_actions_adddup2(&fa, fileno(err), 2);

	// SIGPIPE is ignored in this process (see main), and an ignored signal
	// stays ignored across exec: reset it to its default for the child but
	// where the row asks for it ignored. No signal is blocked in the child.
	posix_spawnattr_t sa;
	posix_spawnattr_init(&sa);
	sigset_t none, sigpipe;
	sigemptyset(&none);
	sigemptyset(&sigpipe);
	sigaddset(&sigpipe, SIGPIPE);
	posix_spawnattr_setsigmask(&sa, &none);
	posix_spawnattr_setsigdefault(&sa, &sigpipe);
	posix_spawnattr_setflags(&sa, mode == Out::no_reader_sigpipe_ignored
					      ? POSIX_SPAWN_SETSIGMASK
					      : POSIX_SPAWN_SETSIGMASK |
							POSIX_SPAWN_SETSIGDEF);

	pid_t pid;
	int rc = posix_spawn(&pid, lablit, &fa, &sa, argv.data(), environ);
	posix_spawn_file_actions_destroy(&fa);
	posix_spawnattr_destroy(&sa);
	close(pipefd[1]);
	if (rc != 0) {
		std::fprintf(stderr, "cannot run %s: %s\n", lablit,
			     std::strerror(rc));
		std::exit(2);
	}
	int ws;
	waitpid(pid, &ws, 0);
	Result r{ slurp(out), slurp(err), 0 };
	r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128 + WTERMSIG(ws);
	return r;
}

// Printable form of some bytes, cut short, for failure messages.
std::string show(const std::string &s)
{
	std::string t;
	for (unsigned char c : s.substr(0, 120)) {
		char e[8];
		if (c == '\\' || c < 0x20 || c > 0x7e)
			std::snprintf(e, sizeof e, "\\x%02x", c);
		else
			e[0] = static_cast<char>(c), e[1] = '\0';
		t += e;
	}
	if (s.size() > 120)
		t += "... (" + std::to_string(s.size()) + " bytes)";
	return '"' + t + '"';
}

void expect(const std::string &what, const Result &r, const std::string &out,
	    int status)
{
	if (r.out == out && r.err.empty() && r.status == status)
		return;
	failures++;
	std::printf("FAIL %s\n", what.c_str());
	if (r.out != out)
		std::printf("  stdout %s\n  wanted %s\n", show(r.out).c_str(),
			    show(out).c_str());
	if (!r.err.empty())
		std::printf("  stderr %s\n", show(r.err).c_str());
	if (r.status != status)
		std::printf("  status %d, wanted %d\n", r.status, status);
}

std::string repeat(const std::string &s, std::size_t n)
{
	std::string t;
	while (n--)
		t += s;
	return t;
}

// A complete run: the echo line, then the escape line.
void expect_escapes(const std::string &name, const std::string &escapes)
{
	expect(show(name), run({ name }), name + "\n" + escapes + "\n", 0);
}

void examples()
{
	static const struct {
		const char *name, *escapes;
	} cases[] = {
		{ "a1.b22", "\\002\\141\\061\\003\\142\\062\\062\\000" },
		{ "", "\\000\\000" },
		{ "a1.", "\\002\\141\\061\\000\\000" },
		{ ".", "\\000\\000\\000" },
		{ ".a1", "\\000\\002\\141\\061\\000" },
		{ "a1..b22", "\\002\\141\\061\\000\\003\\142\\062\\062\\000" },
		{ "...", "\\000\\000\\000\\000\\000" },
		{ "a\\.b", "\\002\\141\\134\\001\\142\\000" },
		{ "\\", "\\001\\134\\000" },
		{ "A.b", "\\001\\101\\001\\142\\000" },
		{ "\xc3\xa9", "\\002\\303\\251\\000" },
		{ "\x01\x7f\x80\xff", "\\004\\001\\177\\200\\377\\000" },
		{ "a\nb.c", "\\003\\141\\012\\142\\001\\143\\000" },
		{ "a b\t", "\\004\\141\\040\\142\\011\\000" },
		{ "%s%n.%d", "\\004\\045\\163\\045\\156\\002\\045\\144\\000" },
		{ "www.example.com",
		  "\\003\\167\\167\\167\\007\\145\\170\\141\\155\\160\\154\\145"
		  "\\003\\143\\157\\155\\000" },
	};
	for (const auto &c : cases)
		expect_escapes(c.name, c.escapes);
}

// Counts past one octet keep going, written in as many digits as they need.
void labels()
{
	static const struct {
		std::size_t len;
		const char *count;
	} cases[] = {
		{ 63, "\\077" },   { 64, "\\100" },     { 255, "\\377" },
		{ 256, "\\400" },  { 300, "\\454" },    { 511, "\\777" },
		{ 512, "\\1000" }, { 4096, "\\10000" },
	};
	for (const auto &c : cases)
		expect_escapes("x." + std::string(c.len, 'a') + ".y",
			       std::string("\\001\\170") + c.count +
				       repeat("\\141", c.len) +
				       "\\001\\171\\000");
}

// The kernel passes one argument of at most 131071 bytes.
void longest()
{
	expect_escapes(std::string(131071, 'a'),
		       "\\377777" + repeat("\\141", 131071) + "\\000");
	expect_escapes(repeat("ab.", 43690) + "a",
		       repeat("\\002\\141\\142", 43690) + "\\001\\141\\000");
	expect_escapes(std::string(131071, '.'), repeat("\\000", 131073));
}

void usage()
{
	static const std::vector<std::string> cases[] = {
		{},
		{ "a1", "b22" },
		{ "", "" },
		{ "a", "b", "c" },
	};
	for (const auto &args : cases)
		expect(std::to_string(args.size()) + " arguments", run(args),
		       "", 2);
	expect("empty argument vector", run({}, Out::capture, false), "", 2);
}

void write_failure()
{
	const struct {
		const char *what;
		std::string name;
		Out mode;
		int status;
	} cases[] = {
		{ "stdout on a full device", "a1.b22", Out::full, 1 },
		{ "long name on a full device", std::string(131071, 'a'),
		  Out::full, 1 },
		{ "closed stdout", "a1.b22", Out::closed, 1 },
		// Killed by SIGPIPE as any writer is; with the signal ignored,
		// the failed write is reported by the exit status alone.
		{ "reader gone", "a1.b22", Out::no_reader, 128 + SIGPIPE },
		{ "reader gone, SIGPIPE ignored", "a1.b22",
		  Out::no_reader_sigpipe_ignored, 1 },
	};
	for (const auto &c : cases)
		expect(c.what, run({ c.name }, c.mode), "", c.status);
	// Some of these lengths end the output exactly where a stdout buffer of
	// 4096 or 8192 bytes fills: the last flush then has nothing left to
	// write, and only the stream's error flag remembers the lost bytes.
	for (std::size_t n = 0; n <= 1700; n++)
		expect(std::to_string(n) + "-byte name on a full device",
		       run({ std::string(n, 'a') }, Out::full), "", 1);
}

// Reads an escape line back into labels, or says what is wrong with it.
std::string decode(const std::string &line, std::vector<std::string> &labels)
{
	std::vector<std::string> esc; // the octal digits of each escape
	for (char c : line) {
		if (c == '\\')
			esc.emplace_back();
		else if (c >= '0' && c <= '7' && !esc.empty())
			esc.back() += c;
		else
			return "stray byte in the escape line";
	}
	if (esc.empty() || esc.back() != "000")
		return "no terminator at the end";
	std::size_t i = 0;
	while (i + 1 < esc.size()) {
		const std::string &count = esc[i++];
		// Only a count of 512 or more needs a fourth digit.
		if (count.size() < 3 || (count.size() > 3 && count[0] == '0'))
			return "bad count escape \\" + count;
		unsigned long n = std::stoul(count, nullptr, 8);
		if (n > esc.size() - 1 - i)
			return "count escape \\" + count + " runs past the end";
		std::string label;
		for (; n > 0; n--) {
			const std::string &b = esc[i++];
			if (b.size() != 3 || b[0] > '3')
				return "bad byte escape \\" + b;
			label += static_cast<char>(std::stoul(b, nullptr, 8));
		}
		labels.push_back(label);
	}
	return "";
}

// What is wrong with lablit's output for a name, or "" if nothing is.
std::string check_roundtrip(const std::string &name, const Result &r)
{
	if (r.status != 0 || !r.err.empty())
		return "status " + std::to_string(r.status) + ", stderr " +
		       show(r.err);
	if (r.out.compare(0, name.size() + 1, name + "\n") != 0)
		return "echo line is not the name";
	std::string line = r.out.substr(name.size() + 1);
	if (line.empty() || line.back() != '\n')
		return "escape line has no newline";
	line.pop_back();

	std::vector<std::string> labels;
	std::string why = decode(line, labels);
	if (!why.empty())
		return why;
	std::size_t dots = std::count(name.begin(), name.end(), '.');
	if (labels.size() != dots + 1)
		return std::to_string(labels.size()) + " labels decoded";
	std::string joined = labels[0];
	for (std::size_t i = 1; i < labels.size(); i++)
		joined += "." + labels[i];
	if (joined != name)
		return "decoded labels are not the name's";
	return "";
}

// Random names, heavy on the bytes that trip encoders up.
std::string random_name(std::mt19937 &rng)
{
	static const char tricky[] = { '\\',   ' ',    '\n',   '\t', '%',
				       '\x7f', '\x80', '\xff', '0',  'A' };
	std::string name;
	for (unsigned labels = 1 + rng() % 6; labels > 0; labels--) {
		unsigned len = rng() % 5 == 0 ? 0 : 1 + rng() % 63;
		if (rng() % 10 == 0)
			len = 64 + rng() % 600; // mostly past a one-octet count
		for (; len > 0; len--) {
			char c = rng() % 3 == 0
					 ? tricky[rng() % sizeof tricky]
					 : static_cast<char>(1 + rng() % 255);
			name += c == '.' ? '\\' : c;
		}
		if (labels > 1)
			name += '.';
	}
	return name;
}

unsigned long seed = 1;

void roundtrip()
{
	auto check = [](const std::string &name, const std::string &which) {
		std::string why = check_roundtrip(name, run({ name }));
		if (why.empty())
			return;
		failures++;
		std::printf("FAIL %s %s: %s\n", which.c_str(),
			    show(name).c_str(), why.c_str());
	};

	// Every byte value but the dot, in one label, in order.
	std::string every;
	for (int b = 1; b < 256; b++)
		if (b != '.')
			every += static_cast<char>(b);
	check(every, "every byte value");

	std::mt19937 rng(seed);
	for (int n = 0; n < 3000 && failures < 5; n++) {
		std::string which = "seed " + std::to_string(seed) + ", name " +
				    std::to_string(n);
		check(random_name(rng), which);
	}
}

const struct {
	const char *name;
	void (*fn)();
} groups[] = {
	{ "examples", examples },
	{ "labels", labels },
	{ "longest", longest },
	{ "usage", usage },
	{ "write_failure", write_failure },
	{ "roundtrip", roundtrip },
};

} // namespace

int main(int argc, char *argv[])
{
	if (argc != 3 && argc != 4) {
		std::fprintf(stderr,
			     "usage: lablit_test lablit group [seed]\n");
		return 2;
	}
	lablit = argv[1];
	// So that run() can pass SIGPIPE on ignored; it resets it otherwise.
	std::signal(SIGPIPE, SIG_IGN);
	if (argc == 4) {
		char *end;
		errno = 0;
		seed = std::strtoul(argv[3], &end, 10);
		// Digits only: strtoul would take " -1" as a huge number.
		if (argv[3][0] < '0' || argv[3][0] > '9' || *end != '\0' ||
		    errno != 0) {
			std::fprintf(stderr,
				     "lablit_test: seed %s is not a number\n",
				     argv[3]);
			return 2;
		}
	}
	for (const auto &g : groups) {
		if (std::strcmp(g.name, argv[2]) == 0) {
			g.fn();
			return failures ? 1 : 0;
		}
	}
	std::fprintf(stderr, "lablit_test: no group %s\n", argv[2]);
	return 2;
}
