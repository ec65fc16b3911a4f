// Writes the fuzz target's first inputs into the folder it is given: the worked example of
// the record format and one record of every kind the library reads.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ContainerLibrary.h"
#include "Graphics.h"
#include "ObjectSamples.h"
#include "ObjectStream.h"

namespace {

using namespace baslink;
using testing::IntegerList;
using testing::MakeBucket;

std::unique_ptr<TObject> Combo(const char* text, std::unique_ptr<TObject> obj) {
    auto combo = std::make_unique<TStringCombo>();
    combo->Str = text;
    combo->Obj = obj.release();
    combo->OwnsObject = true;
    return combo;
}

std::vector<std::unique_ptr<TObject>> SeedObjects() {
    std::vector<std::unique_ptr<TObject>> seeds;
    seeds.push_back(IntegerList<TUnorderedList>({3, 1, 2}));
    seeds.push_back(IntegerList<TOrderedList>({3, 1, 2}));
    seeds.push_back(IntegerList<TCircularList>({3, 1, 2}));
    seeds.push_back(IntegerList<TUnorderedList>({}));
    seeds.push_back(Combo("abc", nullptr));
    seeds.push_back(Combo("Descripci\xF3n", MakeBucket<TIntegerBucket>(1)));
    seeds.push_back(Combo(std::string(256, 'x').c_str(), IntegerList<TOrderedList>({7})));
    seeds.push_back(std::make_unique<TBucket>(0, nullptr));
    seeds.push_back(MakeBucket<TExtendedBucket>(1.5L));
    seeds.push_back(MakeBucket<TDoubleBucket>(2.5));
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetData({'B', 'M', 0, 1, 2});
    seeds.push_back(std::move(bitmap));
    auto memory = std::make_unique<TMemoryStream>();
    memory->WriteBuffer("hello", 5);
    seeds.push_back(std::move(memory));
    return seeds;
}

void Save(const std::filesystem::path& file, const void* bytes, std::size_t size) {
    std::ofstream out(file, std::ios::binary);
    out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    StartContainerLibrary();

    Save(folder / "worked-example", testing::kWorkedExample.data(), testing::kWorkedExample.size());
    int number = 0;
    for (const auto& seed : SeedObjects()) {
        TMemoryStream stream;
        TObjectStream objects(stream);
        WriteObject(objects, seed.get());
        Save(folder / ("seed-" + std::to_string(++number)), stream.Memory(),
             static_cast<std::size_t>(stream.GetSize()));
    }
    StopContainerLibrary();
    return 0;
}
