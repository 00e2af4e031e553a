// SPDX-License-Identifier: ISC
// lablit: write a dotted name and its label form as octal escapes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char *argv[])
{
	if (argc != 2)
		return 2;

	// A buffer of our own spares every run the allocator's start-up; it is
	// the size stdio would pick for a pipe, a file or a full device.
	static char buf[4096];
	std::setvbuf(stdout, buf, _IOFBF, sizeof buf);

	std::fputs(argv[1], stdout);
	std::putchar('\n');

	// Every label, empty ones included, gets a count escape; the bytes are
	// written from their unsigned values, so 0x80 and up stay three digits.
	const char *label = argv[1];
	for (;;) {
		std::size_t len = std::strcspn(label, ".");
		std::printf("\\%03zo", len);
		for (const char *p = label; p < label + len; p++)
			std::printf("\\%03o", static_cast<unsigned char>(*p));
		if (label[len] == '\0')
			break;
		label += len + 1;
	}
	std::fputs("\\000\n", stdout);

	// A full disk or a closed stdout must not pass for a complete run.
	bool failed = std::ferror(stdout) != 0;
	if (std::fclose(stdout) != 0 || failed)
		return EXIT_FAILURE;
	return EXIT_SUCCESS;
}
