// The settings-store file with any content: the readers answer a value or nothing, a write of one
// value reads back, and every value that could be read before the write still reads the same.
#include "FuzzInput.h"
#include "platform/SettingsStore.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace {

const std::u16string kKey = u"Software\\Marbeck";
const std::vector<std::u16string> kNames = {
    u"Zoom",      u"Frame",     u"BackColor", u"FrameColor", u"MatrixColor", u"EncryptionType",
    u"FrameSize", u"tWordWrap", u"eWordWrap", u"TabIndex",   u"x",           u""};

struct TSeen {
  std::optional<std::u16string> Text;
  std::optional<std::uint32_t> DWord;
  bool operator==(const TSeen&) const = default;
};

TSeen Look(const TSettingsStore& Store, const std::u16string& Key, const std::u16string& Name) {
  return {Store.ReadString(Key, Name), Store.ReadDWord(Key, Name)};
}

// A folder of this process's own, in memory where possible, removed again when the fuzzer exits.
class TScratch {
public:
  TScratch() {
    const std::filesystem::path Base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    FDir = Base / ("marbeck-fuzz-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(FDir);
  }
  ~TScratch() {
    std::error_code Ec;
    std::filesystem::remove_all(FDir, Ec);
  }
  const std::filesystem::path& Dir() const { return FDir; }

private:
  std::filesystem::path FDir;
};

std::filesystem::path Folder() {
  static const TScratch Scratch;
  return Scratch.Dir();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuzzInput In(Data, Size);
  const unsigned Which = In.Pick(static_cast<unsigned>(kNames.size()));
  const bool AsString = In.Pick(2) == 0;
  const std::u16string NewText = In.Text(24);
  const std::uint32_t NewDWord = static_cast<std::uint32_t>(In.Int32());
  const std::u16string OtherKey = In.Pick(4) == 0 ? In.Text(12) : u"Software\\Other";
  const std::string Bytes = In.Rest();

  const std::filesystem::path File = Folder() / "settings.reg";
  {
    std::ofstream Out(File, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  }
  TSettingsStore Store(File);

  std::vector<TSeen> Before;
  for (const std::u16string& Name : kNames) {
    const TSeen Seen = Look(Store, kKey, Name);
    FUZZ_CHECK(!(Seen.Text && Seen.DWord)); // a value has one type
    Before.push_back(Seen);
  }
  const TSeen OtherBefore = Look(Store, OtherKey, u"v");

  const std::u16string& Name = kNames[Which];
  const bool Written =
      AsString ? Store.WriteString(kKey, Name, NewText) : Store.WriteDWord(kKey, Name, NewDWord);
  FUZZ_CHECK(Written); // a regular file in a writable folder always takes a value
  if (AsString) {
    FUZZ_CHECK(Store.ReadString(kKey, Name) == NewText.substr(0, NewText.find(u'\0')));
    FUZZ_CHECK(!Store.ReadDWord(kKey, Name));
  } else {
    FUZZ_CHECK(Store.ReadDWord(kKey, Name) == NewDWord);
    FUZZ_CHECK(!Store.ReadString(kKey, Name));
  }
  for (std::size_t I = 0; I < kNames.size(); ++I)
    if (I != Which) FUZZ_CHECK(Look(Store, kKey, kNames[I]) == Before[I]);
  if (OtherKey != kKey) FUZZ_CHECK(Look(Store, OtherKey, u"v") == OtherBefore);
  return 0;
}
