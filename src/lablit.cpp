// lablit: write a dotted name and its label form as octal escapes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char *argv[])
{
	if (argc != 2)
		return 2;

	const char *label = argv[1];
	std::fputs(label, stdout);
	std::putchar('\n');

	// Every label, empty ones included, gets a count escape; the bytes are
	// written from their unsigned values, so 0x80 and up stay three digits.
	for (;;) {
		std::size_t len = std::strcspn(label, ".");
		std::printf("\\%03zo", len);
		for (std::size_t i = 0; i < len; i++)
			std::printf("\\%03o", static_cast<unsigned char>(label[i]));
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
