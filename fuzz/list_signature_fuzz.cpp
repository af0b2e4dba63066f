#include <cstdlib>
#include <string>

#include "catalogue/ListSignature.h"
#include "catalogue/TrustedComment.h"
#include "publish/SignatureWriting.h"
#include "server/SampleCatalogue.h"

// Any bytes as the list's .minisig, verified over a fixed list under the demo
// key and an unrelated one, and its trusted comment read. The invariant: nothing is accepted unless it holds
// exactly the signatures the demo key's holder makes for its trusted comment
// (Ed25519 signs deterministically, so the publisher's side makes them here
// on its own), and nothing accepted for this list is accepted for another.
namespace {

struct Setting {
  platform::Data list;
  platform::Data otherList;
  SecretKey key;
  std::vector<catalogue::PublicKey> keys;
};

Setting makeSetting() {
  Setting s;
  const std::string list =
      "EF-RF;f1a5;0001;Ver 1.0.0;d;http://h/fw/a.bin;http://h/d.txt;" + std::string(64, 'a') + ";3\n";
  s.list.assign(list.begin(), list.end());
  s.otherList = s.list;
  s.otherList[20] ^= 1;
  s.key = demoSecretKey();
  catalogue::PublicKey other = s.key.publicKey();
  other.id[0] ^= 1;
  other.key[0] ^= 1;
  s.keys = {other, s.key.publicKey()};
  return s;
}

std::optional<catalogue::SignatureFile> madeByTheKey(const catalogue::SignatureFile& file, const Setting& s) {
  const std::string made = signatureFile(s.list, s.key, file.trustedComment, file.prehashed);
  return catalogue::readSignatureFile(platform::Data(made.begin(), made.end()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Setting s = makeSetting();
  const platform::Data bytes(data, data + size);
  const auto verdict = catalogue::verifyListSignature(s.list, bytes, s.keys);
  const auto file = catalogue::readSignatureFile(bytes);
  if (file.has_value() == (verdict == catalogue::SignatureVerdict::malformed)) std::abort();
  // Whatever the comment holds, its reading gives back only what it says.
  if (file) {
    const auto comment = catalogue::readTrustedComment(file->trustedComment);
    if (comment.file && file->trustedComment.find("file:" + *comment.file) == std::string::npos) std::abort();
    if (comment.expiresAt && *comment.expiresAt < 0) std::abort();
  }
  if (verdict != catalogue::SignatureVerdict::verified) return 0;
  const auto made = madeByTheKey(*file, s);
  if (!made || file->keyId != made->keyId || file->signature != made->signature ||
      file->globalSignature != made->globalSignature)
    std::abort();
  if (catalogue::verifyListSignature(s.otherList, bytes, s.keys) == catalogue::SignatureVerdict::verified) std::abort();
  return 0;
}
