// The binary .ddd format: exact bytes written, values read from every
// version, the log lines of rejected files, and damaged or hostile files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <random>
#include <string>

#include "child_process.h"
#include "file_bytes.h"
#include "gfx3d/ddd_binary.h"
#include "gfx3d/ddd_normals.h"
#include "gfx3d/mesh_model.h"
#include "mesh_fixtures.h"
#include "runtime/containers/container_storage.h"
#include "runtime/files/mem_blocks.h"
#include "temp_dir.h"

namespace {

using meshtest::Bytes;
using meshtest::dddHeader;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

class DddBinary : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp{"TMPDIR", dir.path().c_str()};
    meshtest::RendererFixture fixture;
    Rainbows3D& r = fixture.renderer();

    std::string log() { return readFileBytes(dir.file("ErrorLog.txt")); }
    std::string file(const std::string& name, const std::string& bytes) {
        writeFileBytes(dir.file(name), bytes);
        return dir.file(name);
    }
    // One red triangle built with the normal (0, 0, 1) kept as given.
    MeshObjectX& builtTriangle() {
        r.lightingMode = 0;
        r.beginObject(0, 1);
        r.setVertexNormal(0, 0, 1);
        r.addVertex(0, 0, 0, 0.0, 0.0, 0x0000FF);
        r.addVertex(1, 0, 0, 1.0, 0.0, 0x0000FF);
        r.addVertex(0, 1, 0, 0.0, 0.5, 0x0000FF);
        r.endObject();
        return r.slot(0)->parts.data[0];
    }
};

// One node of version 2.0.
Bytes& node2(Bytes& b, float x, float y, float z, uint8_t normal, uint8_t palette) {
    return b.f32(x).f32(y).f32(z).u8(normal).u8(palette);
}

std::string validFile() {
    Bytes b = dddHeader(2.0, 2, 2, 3);
    b.u32(kRunList).u32(0x00123456);
    b.f32(0.1f).f32(0.2f).f32(0.3f).f32(0.4f).f32(0.5f).f32(0.6f);
    for (int f = 0; f < 2; ++f) {
        b.i32(3);
        node2(b, 0, 0, f, 5, 1);
        node2(b, 1, 0, f, 5, 1);
        node2(b, 0, 1, f, 161, 1);
    }
    return b.data;
}

}  // namespace

TEST(DddNormals, TableEntriesAreUnitVectorsInTheirKnownOrder) {
    EXPECT_FLOAT_EQ(-0.525731f, kDddNormals[0][0]);
    EXPECT_FLOAT_EQ(0.850651f, kDddNormals[0][2]);
    EXPECT_FLOAT_EQ(-0.442863f, kDddNormals[1][0]);
    EXPECT_FLOAT_EQ(0.238856f, kDddNormals[1][1]);
    EXPECT_EQ(1.0f, kDddNormals[5][2]);
    EXPECT_FLOAT_EQ(-0.688191f, kDddNormals[161][0]);
    EXPECT_FLOAT_EQ(-0.425325f, kDddNormals[161][2]);
    for (const auto& n : kDddNormals) {
        EXPECT_NEAR(1.0, std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1e-5);
    }
}

TEST(DddNormals, QuantisationPicksTheNearestEntry) {
    EXPECT_EQ(5, quantiseDddNormal(0, 0, 1));
    EXPECT_EQ(5, quantiseDddNormal(0, 0, 3));  // made unit length first
    EXPECT_EQ(0, quantiseDddNormal(0, 0, 0));
    for (uint8_t t : {0, 1, 77, 161}) {
        EXPECT_EQ(t, quantiseDddNormal(kDddNormals[t][0], kDddNormals[t][1], kDddNormals[t][2]));
    }
}

TEST_F(DddBinary, WritesExactlyTheVersion2Layout) {
    builtTriangle();
    const std::string name = dir.file("tri.ddd");
    ASSERT_EQ(1, r.saveObject(RtString(name.c_str()), 0));
    Bytes b = dddHeader(2.0, 1, 2, 4);
    b.u32(kRunStrip).u32(0x0000FF);
    b.f32(0).f32(0).f32(0).f32(-0.0f).f32(1).f32(-0.0f).f32(0).f32(-0.5f);
    b.i32(4);
    node2(b, 0, 0, 0, 0, 0);  // the break node: zero normal -> entry 0
    node2(b, 0, 0, 0, 5, 1);
    node2(b, 1, 0, 0, 5, 1);
    node2(b, 0, 1, 0, 5, 1);
    EXPECT_EQ(testsupport::visible(b.data), testsupport::visible(readFileBytes(name)));
    EXPECT_EQ(24u + 8 + 32 + 4 + 14 * 4, readFileBytes(name).size());
}

TEST_F(DddBinary, RoundTripKeepsPositionsPaletteAndIndices) {
    MeshObjectX& built = builtTriangle();
    built.frames.data[0].nodes.data[2].nx = 0.1f;  // not a table entry
    built.frames.data[0].nodes.data[2].nz = 0.9f;
    const std::string name = dir.file("copy.ddd");
    ASSERT_EQ(1, saveDddFile(built, name.c_str()));
    MeshObjectX loaded;
    ASSERT_EQ(1, loadDddFile(loaded, name.c_str()));
    EXPECT_EQ(1, loaded.normalsValid);
    ASSERT_EQ(1, loaded.frames.count);
    ASSERT_EQ(2, loaded.palette.count);
    EXPECT_EQ(kRunStrip, loaded.palette.data[0]);
    const RtVector<MeshVertex>& a = built.frames.data[0].nodes;
    const RtVector<MeshVertex>& b = loaded.frames.data[0].nodes;
    ASSERT_EQ(a.count, b.count);
    for (int32_t i = 0; i < a.count; ++i) {
        EXPECT_EQ(a.data[i].x, b.data[i].x);
        EXPECT_EQ(a.data[i].y, b.data[i].y);
        EXPECT_EQ(a.data[i].u, b.data[i].u);
        EXPECT_EQ(a.data[i].v, b.data[i].v);
        EXPECT_EQ(a.data[i].paletteIndex, b.data[i].paletteIndex);
        EXPECT_EQ(a.data[i].colour, b.data[i].colour);
    }
    const uint8_t nearest = quantiseDddNormal(0.1f, 0.0f, 0.9f);
    EXPECT_EQ(kDddNormals[nearest][0], b.data[2].nx);
    EXPECT_EQ(kDddNormals[0][0], b.data[0].nx);  // the break node's zero normal became entry 0
    EXPECT_EQ(0, loaded.frames.data[0].triangles.count);  // left to the caller
}

// A palette index is one byte: a part whose nodes need more than 256
// palette entries is refused (the file of that name left as it was), since
// its file would load back in other colours; 256 entries load back in their
// own colours, and a loaded palette longer than 256 is written as it was.
TEST_F(DddBinary, AFileHoldsTheNodesOfAtMost256PaletteEntries) {
    const std::string name = dir.file("many.ddd");
    for (uint32_t colours : {255u, 256u}) {  // and the opening break node's run kind
        r.lightingMode = 0;
        r.beginObject(0, 1);
        for (uint32_t c = 0; c < colours; ++c) {
            r.addVertex(static_cast<float>(c), static_cast<float>(c % 2), 0, 0, 0, c);
        }
        r.endObject();
        const MeshObjectX& built = r.slot(0)->parts.data[0];
        writeFileBytes(name, "kept");
        const bool fits = colours + 1 <= 256;
        ASSERT_EQ(fits ? 1 : 0, saveDddFile(built, name.c_str())) << colours;
        if (!fits) {
            EXPECT_EQ("kept", readFileBytes(name));
            EXPECT_EQ("# too many colours\n" + name + "\n", log());
            continue;
        }
        MeshObject loaded;
        ASSERT_EQ(1, loadDddFile(loaded, name.c_str()));
        ASSERT_EQ(1, loaded.frames.count);
        const RtVector<MeshVertex>& a = built.frames.data[0].nodes;
        const RtVector<MeshVertex>& b = loaded.frames.data[0].nodes;
        ASSERT_EQ(a.count, b.count);
        for (int32_t i = 0; i < a.count; ++i) EXPECT_EQ(a.data[i].colour, b.data[i].colour) << i;
    }
    Bytes longPalette = dddHeader(2.0, 1, 300, 3);
    for (uint32_t c = 0; c < 300; ++c) longPalette.u32(c);
    for (int k = 0; k < 6; ++k) longPalette.f32(0.0f);
    longPalette.i32(3);
    node2(longPalette, 0, 0, 0, 5, 0);
    node2(longPalette, 1, 0, 0, 5, 255);
    node2(longPalette, 0, 1, 0, 5, 7);
    MeshObject loaded;
    ASSERT_EQ(1, loadDddFile(loaded, file("long.ddd", longPalette.data).c_str()));
    ASSERT_EQ(1, saveDddFile(loaded, name.c_str()));
    EXPECT_EQ(testsupport::visible(longPalette.data), testsupport::visible(readFileBytes(name)));
}

TEST_F(DddBinary, EveryFrameTakesTheTexturePairsOfFrame0) {
    const std::string name = file("two.ddd", validFile());
    MeshObject mesh;
    ASSERT_EQ(1, loadDddFile(mesh, name.c_str()));
    ASSERT_EQ(2, mesh.frames.count);
    const MeshVertex& v = mesh.frames.data[1].nodes.data[2];
    EXPECT_EQ(0.5f, v.u);
    EXPECT_EQ(0.6f, v.v);  // version 2.0 keeps the sign
    EXPECT_EQ(1.0f, v.z);
    EXPECT_EQ(0x00123456u, v.colour);
    EXPECT_FLOAT_EQ(0x56 / 255.0f, v.red);
    EXPECT_EQ(kDddNormals[161][1], v.ny);
    EXPECT_EQ(0.0f, v.tangent[0]);
}

TEST_F(DddBinary, OlderVersionsQuantisePositionsAndFlipV) {
    Bytes b = dddHeader(1.5, 1, 1, 1);
    b.u32(0x00FFFFFF).f32(0.5f).f32(0.25f);
    b.i32(1).f32(1).f32(1).f32(1).f32(0.5f).f32(0.5f).f32(0.5f);
    b.u8(3).u8(5).u8(255).u8(5).u8(0);
    MeshObject mesh;
    const std::string name = file("old.ddd", b.data);
    ASSERT_EQ(1, loadDddFile(mesh, name.c_str()));
    const MeshVertex& v = mesh.frames.data[0].nodes.data[0];
    EXPECT_EQ(1.0f, v.x);
    EXPECT_EQ(2.0f, v.y);
    EXPECT_EQ(127.0f, v.z);
    EXPECT_EQ(0.5f, v.u);
    EXPECT_EQ(-0.25f, v.v);
    EXPECT_EQ(kDddNormals[0][0], v.tangent[0]);
    EXPECT_EQ(kDddNormals[0][2], v.bitangent[2]);
    EXPECT_EQ(1.0f, v.nz);
}

TEST_F(DddBinary, Versions102And20AreTheOnlyBounds) {
    for (double version : {1.02, 2.0}) {
        Bytes b = dddHeader(version, 0, 0, 0);
        MeshObject mesh;
        EXPECT_EQ(1, loadDddFile(mesh, file("ok.ddd", b.data).c_str())) << version;
    }
    EXPECT_EQ("", log());
    const std::string low = file("low.ddd", dddHeader(1.01, 0, 0, 0).data);
    const std::string high = file("high.ddd", dddHeader(2.01, 0, 0, 0).data);
    MeshObject mesh;
    EXPECT_EQ(0, loadDddFile(mesh, low.c_str()));
    EXPECT_EQ(0, loadDddFile(mesh, high.c_str()));
    EXPECT_EQ("Wrong .ddd version: 1.01. Can use 1.02-2.00\n# read error\n" + low +
                  "\nWrong .ddd version: 2.01. Can use 1.02-2.00\n# read error\n" + high + "\n",
              log());
    // A line end in the name is shown escaped: it cannot forge a line.
    EXPECT_EQ(0, loadDddFile(mesh, file("a\nforged.ddd", dddHeader(2.01, 0, 0, 0).data).c_str()));
    EXPECT_NE(std::string::npos, log().find("# read error\n" + dir.file("a\\nforged.ddd") + "\n")) << log();
}

TEST_F(DddBinary, MissingFilesAndEmptyNamesGiveZeroWithoutALogLine) {
    MeshObject mesh;
    mesh.frames.reserve(1);
    mesh.frames.count = 1;
    EXPECT_EQ(0, loadDddFile(mesh, dir.file("none.ddd").c_str()));
    EXPECT_EQ(0, mesh.frames.count);
    EXPECT_EQ(0, loadDddFile(mesh, ""));
    EXPECT_EQ(0, loadDddFile(mesh, nullptr));
    EXPECT_EQ("", log());
}

TEST_F(DddBinary, ReadsFromMemoryBlocksAndNeverWritesThem) {
    const std::string bytes = validFile();
    const uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(bytes.data()),
                                                 static_cast<uint32_t>(bytes.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(bytes.size()), key);
    MeshObject mesh;
    EXPECT_EQ(1, loadDddFile(mesh, name));
    EXPECT_EQ(2, mesh.frames.count);
    EXPECT_EQ(0, saveDddFile(mesh, name));
    files::unregisterMemBlock(key);
    MeshObject empty;
    EXPECT_EQ(0, saveDddFile(empty, dir.file("empty.ddd").c_str()));
    EXPECT_FALSE(testsupport::fileExists(dir.file("empty.ddd")));
}

TEST_F(DddBinary, EveryTruncationIsAReadError) {
    const std::string bytes = validFile();
    for (size_t length = 4; length < bytes.size(); ++length) {
        MeshObject mesh;
        const std::string name = file("cut.ddd", bytes.substr(0, length));
        ASSERT_EQ(0, loadDddFile(mesh, name.c_str())) << length;
        ASSERT_EQ(0, mesh.frames.count);
        ASSERT_EQ(0, mesh.palette.count);
    }
    EXPECT_NE(std::string::npos, log().find("# read error\n" + dir.file("cut.ddd") + "\n"));
}

TEST_F(DddBinary, HostileCountsAndIndicesAreReadErrors) {
    auto rejected = [&](const Bytes& b) {
        MeshObject mesh;
        const std::string name = file("bad.ddd", b.data);
        const int32_t result = loadDddFile(mesh, name.c_str());
        return result == 0 && mesh.frames.count == 0;
    };
    EXPECT_TRUE(rejected(dddHeader(2.0, 0x7FFFFFFF, 0, 0)));
    EXPECT_TRUE(rejected(dddHeader(2.0, 0, 0x7FFFFFFF, 0)));
    EXPECT_TRUE(rejected(dddHeader(2.0, 0, 0, 0x40000000)));
    EXPECT_TRUE(rejected(dddHeader(2.0, -1, 0, 0)));
    EXPECT_TRUE(rejected(dddHeader(2.0, 0, -3, 0)));
    Bytes hugeFrame = dddHeader(2.0, 1, 0, 0);
    hugeFrame.i32(0x7FFFFFFF);
    EXPECT_TRUE(rejected(hugeFrame));
    Bytes negativeFrame = dddHeader(1.5, 1, 0, 0);
    negativeFrame.i32(-5).f32(0).f32(0).f32(0).f32(1).f32(1).f32(1);
    EXPECT_TRUE(rejected(negativeFrame));
    Bytes badNormal = dddHeader(2.0, 1, 1, 0);
    badNormal.u32(0);
    badNormal.i32(1);
    node2(badNormal, 0, 0, 0, 162, 0);
    EXPECT_TRUE(rejected(badNormal));
    Bytes badPalette = dddHeader(2.0, 1, 1, 0);
    badPalette.u32(0);
    badPalette.i32(1);
    node2(badPalette, 0, 0, 0, 5, 1);
    EXPECT_TRUE(rejected(badPalette));
    EXPECT_TRUE(rejected(dddHeader(std::nan(""), 0, 0, 0)));
    EXPECT_NE(std::string::npos, log().find("Wrong .ddd version: nan. Can use 1.02-2.00\n"));
}

TEST_F(DddBinary, NodesBeyondTheTexturePairsGetZeroCoordinates) {
    Bytes b = dddHeader(2.0, 1, 1, 1);
    b.u32(0).f32(0.75f).f32(0.25f).i32(2);
    node2(b, 0, 0, 0, 5, 0);
    node2(b, 1, 1, 1, 5, 0);
    MeshObject mesh;
    ASSERT_EQ(1, loadDddFile(mesh, file("pairs.ddd", b.data).c_str()));
    EXPECT_EQ(0.75f, mesh.frames.data[0].nodes.data[0].u);
    EXPECT_EQ(0.0f, mesh.frames.data[0].nodes.data[1].u);
}

TEST_F(DddBinary, RandomlyDamagedFilesNeverReadOutOfBounds) {
    const std::string good = validFile();
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = good;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int c = 0; c < changes; ++c) bytes[random() % bytes.size()] = static_cast<char>(random() & 0xFF);
        MeshObjectX mesh;
        if (loadDddFile(mesh, file("fuzz.ddd", bytes).c_str()) == 1) {
            mesh.buildFaces();
            mesh.computeFrameBounds();
            EXPECT_GE(mesh.frames.count, 0);
        } else {
            EXPECT_EQ(0, mesh.frames.count);
        }
    }
}

TEST_F(DddBinary, AllocationFailureIsAMallocError) {
    const std::string name = file("alloc.ddd", validFile());
    MeshObject mesh;
    containers::setStorageRefusal([](size_t) { return true; });
    const int32_t result = loadDddFile(mesh, name.c_str());
    containers::setStorageRefusal(nullptr);
    EXPECT_EQ(0, result);
    EXPECT_EQ("# malloc error\n" + name + "\n", log());
}

// A folder of the name is left as it is and the save fails: a save never
// removes a folder (it did, even where the save then failed).
TEST_F(DddBinary, WritingLeavesAFolderOfThatName) {
    MeshObjectX& built = builtTriangle();
    const std::string name = dir.file("a_folder.ddd");
    ASSERT_EQ(0, mkdir(name.c_str(), 0755));
    EXPECT_EQ(0, saveDddFile(built, name.c_str()));
    struct stat st {};
    EXPECT_TRUE(stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
    EXPECT_EQ(0, saveDddFile(built, dir.file("missing/folder.ddd").c_str()));
}

// The model is saved whole: a save that cannot finish (here a file-size
// limit in a child) keeps the old file as it was, with nothing left beside
// it, and says where and why in the error log; one that finishes leaves
// exactly the new bytes. Before, the old model was deleted at the start.
TEST_F(DddBinary, ASaveThatFailsKeepsTheOldModel) {
    builtTriangle();
    const std::string name = file("kept.ddd", std::string(3000, 'm'));
    const testsupport::ChildResult child = testsupport::runInChild([&] {
        testsupport::limitFileSizes(100);
        std::printf("%d", r.saveObject(RtString(name.c_str()), 0));
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ("0", child.out);
    EXPECT_EQ(std::string(3000, 'm'), readFileBytes(name));
    EXPECT_EQ((std::vector<std::string>{"ErrorLog.txt", "kept.ddd"}), testsupport::namesInFolder(dir.path()));
    EXPECT_EQ("SaveObject: cannot write " + name + ": File too large\n", log());

    ASSERT_EQ(1, r.saveObject(RtString(name.c_str()), 0));
    EXPECT_EQ(24u + 8 + 32 + 4 + 56, readFileBytes(name).size());
}
