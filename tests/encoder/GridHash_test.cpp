// Fingerprints of the grids our encoder makes for the six benchmark race workloads
// (tests/support/Workloads.h). They were taken from the straightforward encoder, after zbar had
// read every one of them back to its workload, and they must never change: a faster encoder has to
// give the same version, the same mask and so the same modules, bit for bit.
//
// A fingerprint is the SHA-256 of: one byte version, one byte side, then the modules row by row
// from the top, left to right, one byte each (1 dark, 0 light), with quiet zone 0.
#include "bench/Ours.h"
#include "encoder/QRCodeSymbol.h"
#include "support/Workloads.h"
#include "support/ZbarDecode.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace marbeck_bench;

// ---- SHA-256, FIPS 180-4 ----

class TSha256 {
public:
  void Update(const std::uint8_t* Data, std::size_t Length) {
    for (std::size_t I = 0; I < Length; ++I) {
      FBlock[FBlockUsed++] = Data[I];
      if (FBlockUsed == 64) {
        Compress();
        FBlockUsed = 0;
      }
    }
    FBitLength += static_cast<std::uint64_t>(Length) * 8;
  }

  std::string HexDigest() {
    const std::uint64_t Bits = FBitLength;
    const std::uint8_t One = 0x80, Zero = 0;
    Update(&One, 1);
    while (FBlockUsed != 56)
      Update(&Zero, 1);
    for (int I = 7; I >= 0; --I) {
      const auto B = static_cast<std::uint8_t>(Bits >> (8 * I));
      Update(&B, 1);
    }
    std::string Hex;
    char Buf[9];
    for (std::uint32_t H : FState) {
      std::snprintf(Buf, sizeof Buf, "%08x", static_cast<unsigned>(H));
      Hex += Buf;
    }
    return Hex;
  }

private:
  static std::uint32_t Rotr(std::uint32_t X, int N) { return (X >> N) | (X << (32 - N)); }

  void Compress() {
    static constexpr std::uint32_t K[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
        0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
        0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
        0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
        0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
        0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
        0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
        0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
        0xc67178f2};
    std::uint32_t W[64];
    for (int T = 0; T < 16; ++T)
      W[T] = (std::uint32_t{FBlock[4 * T]} << 24) | (std::uint32_t{FBlock[4 * T + 1]} << 16) |
             (std::uint32_t{FBlock[4 * T + 2]} << 8) | std::uint32_t{FBlock[4 * T + 3]};
    for (int T = 16; T < 64; ++T) {
      const std::uint32_t S0 = Rotr(W[T - 15], 7) ^ Rotr(W[T - 15], 18) ^ (W[T - 15] >> 3);
      const std::uint32_t S1 = Rotr(W[T - 2], 17) ^ Rotr(W[T - 2], 19) ^ (W[T - 2] >> 10);
      W[T] = W[T - 16] + S0 + W[T - 7] + S1;
    }
    std::uint32_t A = FState[0], B = FState[1], C = FState[2], D = FState[3];
    std::uint32_t E = FState[4], F = FState[5], G = FState[6], H = FState[7];
    for (int T = 0; T < 64; ++T) {
      const std::uint32_t T1 =
          H + (Rotr(E, 6) ^ Rotr(E, 11) ^ Rotr(E, 25)) + ((E & F) ^ (~E & G)) + K[T] + W[T];
      const std::uint32_t T2 =
          (Rotr(A, 2) ^ Rotr(A, 13) ^ Rotr(A, 22)) + ((A & B) ^ (A & C) ^ (B & C));
      H = G;
      G = F;
      F = E;
      E = D + T1;
      D = C;
      C = B;
      B = A;
      A = T1 + T2;
    }
    FState[0] += A;
    FState[1] += B;
    FState[2] += C;
    FState[3] += D;
    FState[4] += E;
    FState[5] += F;
    FState[6] += G;
    FState[7] += H;
  }

  std::array<std::uint32_t, 8> FState = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<std::uint8_t, 64> FBlock{};
  std::size_t FBlockUsed = 0;
  std::uint64_t FBitLength = 0;
};

std::string Sha256Hex(const std::string& Bytes) {
  TSha256 H;
  H.Update(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
  return H.HexDigest();
}

// The fingerprints below mean something only if the hash is SHA-256: FIPS 180-4's examples,
// including the two-block padding case and a long message.
TEST(GridHashSha256, MatchesTheFipsExamples) {
  const struct {
    std::string Message;
    const char* Digest;
  } Cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(Sha256Hex(C.Message), C.Digest) << "message length " << C.Message.size();
}

// ---- the grids ----

struct TGrid {
  int Version = 0;
  int Side = 0;
  std::vector<std::uint8_t> Modules; // row-major, 1 dark
};

// The grid as a generation pass sees it, but with quiet zone 0.
TGrid GridOf(const TWorkload& W) {
  TQRCodeSymbol Symbol;
  Symbol.SetData(ToUtf16(W.Bytes));
  Symbol.SetEncoding(ForcedEncoding(W.Mode));
  Symbol.SetQuietZone(0);
  TGrid G;
  G.Side = Symbol.Rows();
  G.Version = Symbol.Version();
  for (int R = 0; R < G.Side; ++R)
    for (int C = 0; C < G.Side; ++C)
      G.Modules.push_back(Symbol.IsDark(R, C) ? 1 : 0);
  return G;
}

std::string Fingerprint(const TGrid& G) {
  std::string Message;
  Message.push_back(static_cast<char>(G.Version));
  Message.push_back(static_cast<char>(G.Side));
  for (std::uint8_t M : G.Modules)
    Message.push_back(static_cast<char>(M));
  return Sha256Hex(Message);
}

// The grid in the decode helper's [column][row] form.
T2DBooleanArray ColumnsOf(const TGrid& G) {
  T2DBooleanArray Columns(static_cast<std::size_t>(G.Side),
                          std::vector<bool>(static_cast<std::size_t>(G.Side)));
  for (int R = 0; R < G.Side; ++R)
    for (int C = 0; C < G.Side; ++C)
      Columns[static_cast<std::size_t>(C)][static_cast<std::size_t>(R)] =
          G.Modules[static_cast<std::size_t>(R * G.Side + C)] != 0;
  return Columns;
}

struct TExpected {
  const char* Workload;
  int Version;
  const char* Sha256;
};

// Taken from the straightforward encoder once zbar had read each grid back to its workload.
const TExpected Expected[] = {
    {"url", 3, "4860553d00a9a957f1052d199ee1c195c631629a4f7464f8e57f273149137c70"},
    {"vcard", 9, "bf18f21047bbf66b1fe780d3737fda7ff44e2a0e3d4b66f4b2e0292711ad2771"},
    {"text1000", 22, "0112d1919dd9aa4b7c77b2b94e4173473909e3c74875054e0f4d4ee6452e2fa2"},
    {"bytes2953", 40, "4ff4c07fd69281d6ac8ce1f0d254e25d9f076c1b43b3e868541c17fdf064e1ee"},
    {"digits7089", 40, "e56bd17ee3f78c879bd4c71fb8a48266687e174680c6d9c0dd6e47158744ac65"},
    {"alnum4296", 40, "afea723780e21feb85d576b46c48944392409cad8f633388a2ae47161653e053"},
};

void PrintTo(const TExpected& E, std::ostream* Out) {
  *Out << E.Workload;
}

class GridHash : public testing::TestWithParam<TExpected> {};

TEST_P(GridHash, GridDecodesToTheWorkloadAndKeepsItsFingerprint) {
  const TExpected& E = GetParam();
  const TWorkload* W = nullptr;
  for (const TWorkload& Candidate : Workloads())
    if (Candidate.Name == E.Workload) W = &Candidate;
  ASSERT_NE(W, nullptr);

  const TGrid G = GridOf(*W);
  ASSERT_EQ(G.Side, 4 * E.Version + 17);
  EXPECT_EQ(G.Version, E.Version);
  EXPECT_EQ(DecodeWithZbar(ColumnsOf(G)), std::optional<std::string>(W->Bytes));
  EXPECT_EQ(Fingerprint(G), E.Sha256);
}

INSTANTIATE_TEST_SUITE_P(RaceWorkloads, GridHash, testing::ValuesIn(Expected),
                         [](const testing::TestParamInfo<TExpected>& Info) {
                           return std::string(Info.param.Workload);
                         });

} // namespace
