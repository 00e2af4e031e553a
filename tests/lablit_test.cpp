// Runs the lablit binary as its own process with exact argument bytes and
// checks stdout byte for byte, stderr and the exit status.
//
// usage: lablit_test PATH-TO-LABLIT GROUP
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

const char *lablit;
int failures;

enum class Out { capture, full, closed };

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
	posix_spawn_file_actions_t fa;
	posix_spawn_file_actions_init(&fa);
	posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
	if (mode == Out::capture)
		posix_spawn_file_actions_adddup2(&fa, fileno(out), 1);
	else if (mode == Out::full)
		posix_spawn_file_actions_addopen(&fa, 1, "/dev/full", O_WRONLY,
						 0);
	else
		posix_spawn_file_actions_addclose(&fa, 1);
	posix_spawn_file_actions_adddup2(&fa, fileno(err), 2);

	pid_t pid;
	int rc = posix_spawn(&pid, lablit, &fa, nullptr, argv.data(), environ);
	posix_spawn_file_actions_destroy(&fa);
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

	// Every byte value but the dot, in one label, in order.
	std::string name, escapes = "\\376";
	for (int b = 1; b < 256; b++) {
		if (b == '.')
			continue;
		char e[8];
		std::snprintf(e, sizeof e, "\\%03o", b);
		name += static_cast<char>(b);
		escapes += e;
	}
	expect_escapes(name, escapes + "\\000");
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
	expect("stdout on a full device", run({ "a1.b22" }, Out::full), "", 1);
	expect("long name on a full device",
	       run({ std::string(131071, 'a') }, Out::full), "", 1);
	expect("closed stdout", run({ "a1.b22" }, Out::closed), "", 1);
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
};

} // namespace

int main(int argc, char *argv[])
{
	if (argc != 3) {
		std::fprintf(stderr, "usage: lablit_test lablit group\n");
		return 2;
	}
	lablit = argv[1];
	for (const auto &g : groups) {
		if (std::strcmp(g.name, argv[2]) == 0) {
			g.fn();
			return failures ? 1 : 0;
		}
	}
	std::fprintf(stderr, "lablit_test: no group %s\n", argv[2]);
	return 2;
}
