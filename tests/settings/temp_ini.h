// A settings file in a fresh temporary directory, removed afterwards.
#pragma once
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

class TempIni {
public:
    TempIni() {
        const char* tmp = getenv("TMPDIR");
        dir_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/mosswick-settings-XXXXXX";
        if (mkdtemp(dir_.data()) == nullptr) dir_.clear();
        path_ = dir_ + "/Mosswick.ini";
    }
    ~TempIni() {
        if (DIR* d = opendir(dir_.c_str())) {
            while (dirent* e = readdir(d)) {
                if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) {
                    std::remove((dir_ + "/" + e->d_name).c_str());
                }
            }
            closedir(d);
        }
        rmdir(dir_.c_str());
    }
    TempIni(const TempIni&) = delete;
    TempIni& operator=(const TempIni&) = delete;

    const char* path() const { return path_.c_str(); }
    const std::string& dir() const { return dir_; }

    void Put(const std::string& bytes) const {
        FILE* f = std::fopen(path_.c_str(), "wb");
        if (!f) return;
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::string Slurp() const {
        std::string bytes;
        FILE* f = std::fopen(path_.c_str(), "rb");
        if (!f) return "<no file>";
        char chunk[512];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
        std::fclose(f);
        return bytes;
    }

private:
    std::string dir_;
    std::string path_;
};
