#include "MirrorMaking.h"

#include <fcntl.h>
#include <stdio.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "ChosenEntry.h"
#include "ImageDownload.h"
#include "catalogue/FirmwareList.h"
#include "catalogue/ListReading.h"
#include "platform/Mirror.h"
#include "platform/UrlReader.h"

namespace road {
namespace {

namespace fs = std::filesystem;
using Problem = MirrorMade::Problem;

// Every file of the mirror by its path under the folder.
using Files = std::map<std::string, platform::Data>;

MirrorMade problem(Problem kind, catalogue::Fault fault = catalogue::Fault::none, std::size_t row = 0) {
  MirrorMade made;
  made.problem = kind;
  made.fault = fault;
  made.row = row;
  return made;
}

// A URL whose place in the mirror is taken by other bytes (two URLs that
// differ in their query only) cannot be mirrored.
bool add(Files& files, const std::string& url, platform::Data bytes) {
  const auto path = platform::mirrorPathOf("", url);
  if (!path) return false;
  const auto [at, added] = files.try_emplace(*path, std::move(bytes));
  return added || at->second == bytes;
}

std::optional<MirrorMade> addEntry(Files& files, std::string_view line, std::size_t row, bool signedList) {
  const auto fields = catalogue::splitFields(line);
  if (fields.size() < catalogue::kFieldsToSelect) return std::nullopt;
  update::FirmwareEntry entry;
  catalogue::ImageCheck check;
  if (entryFault(fields, entry, check, signedList) != catalogue::Fault::none) return std::nullopt;
  ChosenEntry chosen = chooseEntry(line, platform::UrlReadOptions::forText(), signedList);
  if (chosen.failure != catalogue::Fault::none) return problem(Problem::entryRefused, chosen.failure, row);
  ImageDownload image = downloadImage(line, platform::UrlReadOptions::forImage());
  if (image.failure != catalogue::Fault::none) return problem(Problem::entryRefused, image.failure, row);
  image.image.resize(image.served);
  for (auto& [url, bytes] :
       {std::pair{fields[catalogue::fDescription], &chosen.served}, std::pair{fields[catalogue::fImage], &image.image}})
    if (!add(files, url, std::move(*bytes))) {
      MirrorMade made = problem(Problem::urlUnfit, catalogue::Fault::none, row);
      made.path = url;
      return made;
    }
  return MirrorMade{};
}

bool writeFile(const fs::path& path, const platform::Data& bytes) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  return !error && out.good();
}

// A mirror's folder holds its mark and one folder per server, HOST_PORT.
bool holdsOnlyAMirror(const fs::path& folder) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name == platform::kMirrorMark) continue;
    const auto port = name.rfind('_');
    const bool server = port != std::string::npos && port > 0 && port + 1 < name.size() &&
                        name.find_first_not_of("0123456789", port + 1) == std::string::npos;
    if (!server || !entry.is_directory(error) || entry.is_symlink(error)) return false;
  }
  return !error;
}

// A place the mirror may take: nothing there, an empty folder made for it,
// or a mirror made before. Anything else is somebody's, and stays.
bool mayTake(const fs::path& place) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(place, error))) return true;
  if (!fs::is_directory(place, error)) return false;
  if (fs::is_empty(place, error)) return true;
  const auto address = mirroredListAddress(place.string());
  return address && holdsOnlyAMirror(place);
}

// What an interrupted run left beside the place: folders of ours, marked.
void removeLeftovers(const fs::path& place) {
  std::error_code error;
  const std::string prefix = place.filename().string() + ".partial-";
  for (const auto& entry : fs::directory_iterator(place.parent_path(), error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0 && fs::exists(entry.path() / platform::kMirrorMark, error))
      fs::remove_all(entry.path(), error);
  }
}

// Writes the files into a new folder beside `folder`, then puts it in its
// place: renamed, or exchanged with the mirror made before, which is removed.
MirrorMade writeMirror(const Files& files, const std::string& listAddress, const fs::path& folder) {
  removeLeftovers(folder);
  std::string pattern = folder.string() + ".partial-XXXXXX";
  if (!mkdtemp(pattern.data())) return problem(Problem::notWritten);
  const fs::path partial = pattern;
  const platform::Data mark(listAddress.begin(), listAddress.end());
  bool written = writeFile(partial / platform::kMirrorMark, mark);
  for (const auto& [path, bytes] : files) written = written && writeFile(partial.string() + path, bytes);
  std::error_code error;
  const bool replacing = fs::exists(folder, error);
  if (written) {
    written = replacing ? ::renameat2(AT_FDCWD, partial.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE) == 0
                        : ::rename(partial.c_str(), folder.c_str()) == 0;
  }
  fs::remove_all(partial, error);  // what was written, or the mirror it replaced
  if (!written) return problem(Problem::notWritten);
  MirrorMade made;
  made.files = files.size();
  return made;
}

}  // namespace

std::optional<std::string> mirroredListAddress(const std::string& folder) {
  std::ifstream in(fs::path(folder) / platform::kMirrorMark, std::ios::binary);
  std::string address;
  // The mark is no part of what was checked: it may name nothing but an http(s) URL.
  if (!in || !std::getline(in, address) || !platform::isHttpURL(address)) return std::nullopt;
  return address;
}

MirrorMade makeMirror(const std::string& listAddress, const std::vector<catalogue::PublicKey>& trustedKeys,
                      const std::string& folder) {
  // A link to the mirror's place (a USB stick's folder) is followed: the stick gets the mirror.
  std::error_code error;
  const fs::path place = fs::weakly_canonical(fs::absolute(folder, error), error);
  if (!mayTake(place)) {
    MirrorMade made = problem(Problem::notAMirror);
    made.path = folder;
    return made;
  }
  catalogue::ListReading list =
      catalogue::readFirmwareList(listAddress, platform::UrlReadOptions::forText(), trustedKeys, true);
  if (list.failure != catalogue::Fault::none) {
    MirrorMade made = problem(Problem::listRefused, list.failure);
    made.comment = list.comment;
    return made;
  }
  Files files;
  add(files, listAddress, std::move(list.served));
  if (list.signedList) add(files, listAddress + ".minisig", std::move(list.signature));
  std::size_t entries = 0;
  for (std::size_t row = 0; row < list.lines->size(); ++row) {
    auto added = addEntry(files, (*list.lines)[row], row, list.signedList);
    if (added && added->problem != Problem::none) return *added;
    if (added) ++entries;
  }
  MirrorMade made = writeMirror(files, listAddress, place);
  if (made.problem == Problem::notWritten) made.path = folder;
  made.entries = entries;
  return made;
}

}  // namespace road
