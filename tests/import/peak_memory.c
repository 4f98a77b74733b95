/* Runs a shell command and prints the largest resident memory that it, or a
 * process it waited for, took, in KiB. A process of its own: a child forked
 * from the test program would count the test program's memory too. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) return 125;
    const pid_t child = fork();
    if (child < 0) return 125;
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", argv[1], (char*)0);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (wait4(child, &status, 0, &usage) != child) return 125;
    printf("%ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 126;
}
