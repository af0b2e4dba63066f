#include "ContentCoding.h"

#include <zlib.h>

platform::Data encodeBody(const platform::Data& body, const std::string& coding) {
  int windowBits;
  if (coding == "gzip") windowBits = 15 + 16;
  else if (coding == "deflate") windowBits = 15;
  else return body;
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
  platform::Data out(deflateBound(&z, static_cast<uLong>(body.size())) + 32);
  z.next_in = const_cast<Bytef*>(body.data());
  z.avail_in = static_cast<uInt>(body.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}
