#include <cstdio>

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    std::fputs("usage: tsisbridge <command> [--key=value ...]\n", stderr);
    return 0;
}
