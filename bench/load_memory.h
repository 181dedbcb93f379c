// Peak memory of loading a configuration file, measured in a process of its
// own: the benchmark program runs itself with --load-memory, and that child
// loads the file once and reports how far its resident memory rose.
#pragma once

namespace quillon::bench {

// When argv asks for it ("--load-memory quillon|pugixml FILE"), loads the
// file, prints "<peak bytes> <file bytes>" and answers true with the exit
// status in *status.
bool RunLoadMemory(int argc, char** argv, int* status);

}  // namespace quillon::bench
