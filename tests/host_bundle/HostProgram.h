// kelvane_host run as a user runs it, as a separate process, in a scratch folder of its own.
#pragma once

#include "AudioFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

class HostProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kelvane-render-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    void writeWav(const std::string& name, int channels, int sampleRate, int frames, float scale = 0.5f,
                  AudioSampleFormat format = AudioSampleFormat::Float32)
    {
        std::vector<float> samples(static_cast<size_t>(frames) * static_cast<size_t>(channels));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<float>((i * 7919 % 2000) / 1000.0 - 1.0) * scale;
        AtomicWavWriter writer(folder + "/" + name, channels, sampleRate, format);
        writer.write(samples.data(), frames);
        writer.commit();
    }

    static std::string contents(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // Runs the program in `directory` (default: the test's own); its exit status (-1 when a signal ended it),
    // with what it wrote to stderr in `errors` and to stdout in `output`.
    int run(const std::vector<std::string>& arguments, std::string& errors, std::string* output = nullptr,
            const std::string& directory = "")
    {
        std::string command = "cd '" + (directory.empty() ? folder : directory) + "' && '" KELVANE_HOST_PROGRAM "'";
        for (const std::string& argument : arguments)
            command += " '" + argument + "'";
        const int status = std::system((command + " >'" + folder + "/.stdout' 2>'" + folder + "/.stderr'").c_str());
        errors = contents(folder + "/.stderr");
        if (output != nullptr)
            *output = contents(folder + "/.stdout");
        std::filesystem::remove(folder + "/.stdout");
        std::filesystem::remove(folder + "/.stderr");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Starts the program with the three stopping signals at their defaults, as a shell starts it; its stdout
    // goes to `outputPath`.
    pid_t start(const std::vector<std::string>& arguments, const std::string& outputPath = "/dev/null")
    {
        std::vector<std::string> all = {KELVANE_HOST_PROGRAM};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : all)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&defaults, signal);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
        pid_t child = -1;
        const int spawned = posix_spawn(&child, argv[0], &files, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
        return spawned == 0 ? child : -1;
    }

    std::vector<std::string> filesHere() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::string folder;
};
