// Child of the kill test: walks the store in <folder> round the loop of
// kill_states.h, forever or for <steps> steps, until it is killed.
//
//   store_kill_child <folder> [steps]
#include "kill_states.h"

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::string path = std::string(argv[1]) + "/" + killtest::kStoreName;
    long steps = argc > 2 ? atol(argv[2]) : -1;
    for (long n = 0; steps < 0 || n < steps; ++n) {
        CSubj s;
        s.LoadFile(path.c_str());
        killtest::Advance(s, killtest::StateOf(s));
    }
    return 0;
}
