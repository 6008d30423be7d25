#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// What the seed writers share: the folder named on their command line, and
// writing one seed file into it.
class SeedFolder {
public:
    // The folder given as the only argument; the usage and exit status 2
    // otherwise.
    SeedFolder(int argc, char** argv)
    {
        if (argc != 2) {
            std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
            std::exit(2);
        }
        folder_ = argv[1];
    }

    template <class Bytes>
    void write(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream out(folder_ + "/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::string folder_;
};
