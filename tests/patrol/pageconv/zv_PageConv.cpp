// Stand-in plug-in for the saved-page import tests: in file mode it turns
// each line of the page into one article of "page.zv$" in the current
// folder; a page it can't open gives no output.
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    FILE* in = fopen(argv[1], "rb");
    if (!in)
        return 2;
    FILE* out = fopen("page.zv$", "wb");
    if (!out) {
        fclose(in);
        return 3;
    }
    fputs("#T:page\n", out);
    char line[256];
    int no = 1;
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\r\n")] = 0;
        fprintf(out, "S:%d,*,04/05/06,12:00\nT:%s\nN:conv\nM:%s\n.\n", no++, line, line);
    }
    fclose(out);
    fclose(in);
    return 0;
}
