/* The floors the benchmark compares against: the least a compiled program
 * must do for the same work.
 *   floor read NAME...  reads departments.txt and ../Vastrel/smetas/NAME.xml once each
 *   floor list DIR      lists the names in DIR once
 */
#include <dirent.h>
#include <stdio.h>
#include <string.h>

static char buffer[1 << 16];

static long readWhole(const char *path)
{
    FILE *file = fopen(path, "rb");
    long total = 0;
    size_t got;
    if (!file)
        return -1;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        total += (long)got;
    fclose(file);
    return total;
}

int main(int argc, char **argv)
{
    long total = 0;
    if (argc >= 2 && strcmp(argv[1], "read") == 0) {
        char path[4096];
        total += readWhole("departments.txt");
        for (int i = 2; i < argc; ++i) {
            snprintf(path, sizeof path, "../Vastrel/smetas/%s.xml", argv[i]);
            total += readWhole(path);
        }
    } else if (argc == 3 && strcmp(argv[1], "list") == 0) {
        DIR *dir = opendir(argv[2]);
        struct dirent *entry;
        if (!dir)
            return 1;
        while ((entry = readdir(dir)) != NULL)
            total += (long)strlen(entry->d_name);
        closedir(dir);
    } else {
        fprintf(stderr, "usage: floor read NAME... | floor list DIR\n");
        return 2;
    }
    printf("%ld\n", total);
    return 0;
}
