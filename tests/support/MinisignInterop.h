#pragma once
// Against Debian's minisign: a folder of its own with a key the stock tool
// made without a password, for what it signs to be verified here and what is
// signed here to be verified there.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "catalogue/ListSignature.h"

class MinisignInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v minisign > /dev/null 2>&1") != 0)
      GTEST_SKIP() << "the minisign program is not installed (Debian package minisign; ./dev installs it)";
    char pattern[] = "/tmp/ringflash-minisign-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    ASSERT_TRUE(run("minisign -G -W -p k.pub -s k.sec"));
  }
  void TearDown() override {
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }
  // The command's exit code, run in the folder; its output goes to out.log.
  int exitOf(const std::string& command) const {
    const int status = std::system(("cd " + dir + " && " + command + " > out.log 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool run(const std::string& command) const { return exitOf(command) == 0; }
  std::string read(const std::string& name) const {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(dir + "/" + name, std::ios::binary) << text;
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir + "/" + name); }
  catalogue::PublicKey publicKey(const std::string& name = "k.pub") const {
    const std::string pub = read(name);
    return *catalogue::readPublicKey(pub.substr(pub.find('\n') + 1));
  }
  std::string dir;
};
