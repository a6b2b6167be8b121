// What a start of the program loads: the command line goes without the sound's libraries
// (Qt Multimedia and the audio stack behind it), which the window loads at its first sound.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The dynamic loader's account of the files it opens for one run of the program.
std::string loadedFiles(const std::string& arguments) {
  std::string command =
      "LD_DEBUG=files '" + std::string(QUENBO_EXECUTABLE) + "' " + arguments + " 2>&1 >/dev/null";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

TEST(ProgramLibraries, TheCommandLineLoadsNoSoundLibraries) {
  for (const std::string arguments : {"--version", "search --help"}) {
    std::string files = loadedFiles(arguments);
    EXPECT_NE(files.find("libcurl.so"), std::string::npos) << arguments << "\n" << files;
    EXPECT_EQ(files.find("libQt6Multimedia"), std::string::npos) << arguments;
    EXPECT_EQ(files.find("libpulse"), std::string::npos) << arguments;
  }
}

}  // namespace
