// The text form of .ddd models: tokens, comments, versions, the mesh built
// from faces, rejected and damaged files, and the trip to the binary form.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "file_bytes.h"
#include "gfx3d/ddd_binary.h"
#include "gfx3d/ddd_text.h"
#include "gfx3d/mesh_model.h"
#include "mesh_fixtures.h"
#include "runtime/files/mem_blocks.h"
#include "temp_dir.h"

namespace {

class DddText : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp{"TMPDIR", dir.path().c_str()};

    std::string file(const std::string& text, const std::string& name = "model.txt") {
        testsupport::writeFileBytes(dir.file(name), text);
        return dir.file(name);
    }
    std::string log() { return testsupport::readFileBytes(dir.file("ErrorLog.txt")); }
};

const char* kTriangle =
    "DDDA 1.1\n"
    "0\n"
    "1\n"
    "255 0 0 3  0 0  1 0  2 0\n"
    "1\n"
    "3\n"
    "0 0 0  0 0 1\n"
    "1 0 0  0 0 1\n"
    "0 1 0  0 0 1\n";

}  // namespace

TEST_F(DddText, OneRedFaceGivesAFanOfFourNodesAndOneTriangle) {
    MeshObjectX mesh;
    ASSERT_EQ(1, loadDddFile(mesh, file(kTriangle).c_str()));
    ASSERT_EQ(1, mesh.frames.count);
    const RtVector<MeshVertex>& nodes = mesh.frames.data[0].nodes;
    ASSERT_EQ(4, nodes.count);
    EXPECT_EQ(kRunFan, nodes.data[0].colour);
    EXPECT_EQ(0x000000FFu, nodes.data[1].colour);
    EXPECT_EQ(1.0f, nodes.data[1].red);
    EXPECT_EQ(0.0f, nodes.data[1].green);
    EXPECT_EQ(1.0f, nodes.data[2].x);
    EXPECT_EQ(1.0f, nodes.data[3].nz);
    ASSERT_EQ(2, mesh.palette.count);
    EXPECT_EQ(kRunFan, mesh.palette.data[0]);
    EXPECT_EQ(0x000000FFu, mesh.palette.data[1]);
    EXPECT_EQ(1, mesh.normalsValid);
    mesh.buildFaces();
    EXPECT_EQ(3, mesh.frames.data[0].triangles.count);
    EXPECT_EQ("", log());
}

TEST_F(DddText, TokensEndAtBlanksAndCommentsAndMissingNumbersReadZero) {
    testsupport::writeFileBytes(dir.file("t.txt"), "  12#comment 99\n\t-3.5\r\n7# x\n");
    ReadStream stream;
    ASSERT_TRUE(readStreamOpen(stream, dir.file("t.txt").c_str()));
    DddTextSource source(stream);
    char token[1024];
    EXPECT_EQ(12.0f, readDddTextNumber(token, source));
    EXPECT_EQ(-3.5f, readDddTextNumber(token, source));
    EXPECT_EQ(7.0f, readDddTextNumber(token, source));
    EXPECT_STREQ("7", token);
    EXPECT_EQ(0.0f, readDddTextNumber(token, source));
    EXPECT_STREQ("", token);
    readStreamClose(stream);
}

TEST_F(DddText, AVeryLongCommentIsSkippedOnly512Characters) {
    std::string text = "#" + std::string(511, 'x') + " 42\n5";
    testsupport::writeFileBytes(dir.file("c.txt"), text);
    ReadStream stream;
    ASSERT_TRUE(readStreamOpen(stream, dir.file("c.txt").c_str()));
    DddTextSource source(stream);
    char token[1024];
    EXPECT_EQ(42.0f, readDddTextNumber(token, source));
    EXPECT_EQ(5.0f, readDddTextNumber(token, source));
    readStreamClose(stream);
}

TEST_F(DddText, Version10VerticesCarryThreeNumbersAndTexturePairsFlipV) {
    const char* text =
        "DDDA 1.0 # no normals\n"
        "2  0.25 0.5  1 0.75\n"
        "1  0 255 0 3  0 1  1 0  2 1\n"
        "2\n"
        "3  0 0 0  1 0 0  0 1 0\n"
        "3  0 0 5  1 0 5  0 1 5\n";
    MeshObject mesh;
    ASSERT_EQ(1, loadDddFile(mesh, file(text).c_str()));
    ASSERT_EQ(2, mesh.frames.count);
    const MeshVertex& corner = mesh.frames.data[1].nodes.data[1];
    EXPECT_EQ(5.0f, corner.z);
    EXPECT_EQ(1.0f, corner.u);
    EXPECT_EQ(-0.75f, corner.v);
    EXPECT_EQ(0x0000FF00u, corner.colour);
    EXPECT_EQ(1.0f, corner.nz);  // files before 1.1 carry no normals
    EXPECT_EQ(0.25f, mesh.frames.data[1].nodes.data[2].u);
}

TEST_F(DddText, FacesOfFewerThanThreeCornersGiveNoTriangle) {
    const char* text = "DDDA 1.1 0 2  1 2 3 2  0 0 1 0   9 9 9 0  1 2  0 0 0 0 0 1  1 1 1 0 0 1";
    MeshObjectX mesh;
    ASSERT_EQ(1, loadDddFile(mesh, file(text).c_str()));
    EXPECT_EQ(4, mesh.frames.data[0].nodes.count);  // break, 2 corners, break
    mesh.buildFaces();
    EXPECT_EQ(0, mesh.frames.data[0].triangles.count);
    EXPECT_EQ(0.0f, mesh.frames.data[0].nodes.data[1].u);  // no texture pairs
}

TEST_F(DddText, OtherFirstWordsAndLaterVersionsAreReadErrors) {
    for (const char* text : {"DDDB 1.0 0 0 0", "DDDA 1.2 0 0 0", "DDDAA 1.0 0 0 0", "", "ddda 1.0"}) {
        MeshObject mesh;
        const std::string name = file(text, "bad.txt");
        EXPECT_EQ(0, loadDddFile(mesh, name.c_str())) << text;
    }
    EXPECT_NE(std::string::npos, log().find("# read error\n" + dir.file("bad.txt") + "\n"));
}

TEST_F(DddText, IndicesOutsideTheirListsAreRejected) {
    const char* vertexBeyond = "DDDA 1.0  0  1  1 1 1 3  0 0  1 0  3 0  1  3  0 0 0  1 0 0  0 1 0";
    const char* negativeVertex = "DDDA 1.0  0  1  1 1 1 3  -1 0  1 0  2 0  1  3  0 0 0  1 0 0  0 1 0";
    const char* pairBeyond = "DDDA 1.0  1 0 0  1  1 1 1 3  0 0  1 1  2 0  1  3  0 0 0  1 0 0  0 1 0";
    const char* shortFrame = "DDDA 1.0  0  1  1 1 1 3  0 0  1 0  2 0  2  3  0 0 0  1 0 0  0 1 0  2  0 0 0  1 0 0";
    for (const char* text : {vertexBeyond, negativeVertex, pairBeyond, shortFrame}) {
        MeshObject mesh;
        EXPECT_EQ(0, loadDddFile(mesh, file(text).c_str())) << text;
        EXPECT_EQ(0, mesh.frames.count);
    }
}

TEST_F(DddText, CountsPromisingMoreThanTheFileHoldsCostNothing) {
    MeshObject mesh;
    // Two billion texture pairs and faces: reading stops where the data ends.
    EXPECT_EQ(1, loadDddFile(mesh, file("DDDA 1.0 2000000000 1 2").c_str()));
    EXPECT_EQ(0, mesh.frames.count);
    EXPECT_EQ(1, loadDddFile(mesh, file("DDDA 1.0 0 2000000000 1 2 3 2000000000 0").c_str()));
    EXPECT_EQ(1, loadDddFile(mesh, file("DDDA 1.0 0 0 2000000000 2000000000 1").c_str()));
    EXPECT_EQ(1, mesh.frames.count);
    EXPECT_EQ(1, loadDddFile(mesh, file("DDDA 1.0 0 0 1e30 -5").c_str()));
}

TEST_F(DddText, AModelClaimingMoreNodesThanItsTextCanHoldIsAReadError) {
    // 500 faces without corners in 500 frames without vertices: 5 KB of text
    // whose mesh would hold 250,000 nodes.
    std::string hostile = "DDDA 1.0 0 500\n";
    for (int i = 0; i < 500; ++i) hostile += "0 0 0 0\n";
    hostile += "500\n";
    for (int i = 0; i < 500; ++i) hostile += "0\n";
    MeshObject mesh;
    EXPECT_EQ(0, loadDddFile(mesh, file(hostile, "hostile.txt").c_str()));
    EXPECT_EQ(0, mesh.frames.count);
    EXPECT_NE(std::string::npos, log().find("# read error\n" + dir.file("hostile.txt") + "\n"));
    // A real animation, however long, stays within what its text holds.
    std::string animated = "DDDA 1.0 0 1 255 0 0 3 0 0 1 0 2 0\n2000\n";
    for (int f = 0; f < 2000; ++f) animated += "3 0 0 0 1 0 0 0 1 0\n";
    ASSERT_EQ(1, loadDddFile(mesh, file(animated).c_str()));
    EXPECT_EQ(2000, mesh.frames.count);
}

TEST_F(DddText, OverlongTokensKeepTheirStart) {
    std::string text = "DDDA 1." + std::string(3000, '0') + " 0 0 0";
    MeshObject mesh;
    EXPECT_EQ(1, loadDddFile(mesh, file(text).c_str()));
}

TEST_F(DddText, ReadsFromAMemoryBlock) {
    const std::string text = kTriangle;
    const uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(text.data()),
                                                 static_cast<uint32_t>(text.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(text.size()), key);
    MeshObject mesh;
    EXPECT_EQ(1, loadDddFile(mesh, name));
    EXPECT_EQ(4, mesh.frames.data[0].nodes.count);
    files::unregisterMemBlock(key);
}

TEST_F(DddText, TextModelSavedAsBinaryReadsBackTheSame) {
    const char* text =
        "DDDA 1.1\n"
        "4 0 0 1 0 1 1 0 1\n"
        "2 10 20 30 4 0 0 1 1 2 2 3 3  40 50 60 3 0 0 2 2 1 1\n"
        "2\n"
        "4 0 0 0 0 0 1  1 0 0 0 0 1  1 1 0 0 0 1  0 1 0 0 0 1\n"
        "4 0 0 1 0 0 1  1 0 1 0 0 1  1 1 1 0 0 1  0 1 1 0 0 1\n";
    MeshObject fromText;
    ASSERT_EQ(1, loadDddFile(fromText, file(text).c_str()));
    const std::string binary = dir.file("model.ddd");
    ASSERT_EQ(1, saveDddFile(fromText, binary.c_str()));
    MeshObject fromBinary;
    ASSERT_EQ(1, loadDddFile(fromBinary, binary.c_str()));
    ASSERT_EQ(fromText.frames.count, fromBinary.frames.count);
    for (int32_t i = 0; i < fromText.palette.count; ++i) EXPECT_EQ(fromText.palette.data[i], fromBinary.palette.data[i]);
    for (int32_t f = 0; f < fromText.frames.count; ++f) {
        const RtVector<MeshVertex>& a = fromText.frames.data[f].nodes;
        const RtVector<MeshVertex>& b = fromBinary.frames.data[f].nodes;
        ASSERT_EQ(9, a.count);
        ASSERT_EQ(a.count, b.count);
        for (int32_t i = 0; i < a.count; ++i) {
            EXPECT_EQ(a.data[i].x, b.data[i].x);
            EXPECT_EQ(a.data[i].z, b.data[i].z);
            EXPECT_EQ(a.data[i].colour, b.data[i].colour);
            EXPECT_EQ(a.data[i].paletteIndex, b.data[i].paletteIndex);
            EXPECT_EQ(fromText.frames.data[0].nodes.data[i].v, b.data[i].v);
            if (a.data[i].colour < kFirstMarkerColour) {
                EXPECT_EQ(a.data[i].nz, b.data[i].nz);
            }
        }
    }
}

TEST_F(DddText, RandomTextNeverReadsOutOfBounds) {
    std::mt19937 random(77);
    const std::string alphabet = "0123456789 -.#\nDA";
    for (int round = 0; round < 200; ++round) {
        std::string text = "DDDA 1.1 ";
        const size_t length = random() % 200;
        for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        MeshObjectX mesh;
        if (loadDddFile(mesh, file(text).c_str()) == 1) {
            mesh.buildFaces();
            mesh.computeFrameBounds();
        }
    }
}
