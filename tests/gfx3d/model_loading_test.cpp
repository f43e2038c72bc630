// Loading models and packs into object slots, saving part 0, and reducing
// objects to stubs.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "file_bytes.h"
#include "gfx3d/ddd_binary.h"
#include "gfx3d/object_building.h"
#include "gfx3d/object_packs.h"
#include "mesh_fixtures.h"
#include "runtime/files/mem_blocks.h"
#include "temp_dir.h"

namespace {

using testsupport::writeFileBytes;

const char* kSquare =
    "DDDA 1.1 0 1  0 0 255 4  0 0 1 0 2 0 3 0  1 4\n"
    " 0 0 0 0 0 1  1 0 0 0 0 1  1 1 0 0 0 1  0 1 0 0 0 1\n";

class SlotLoading : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp{"TMPDIR", dir.path().c_str()};
    testsupport::ScopedCwd cwd{dir.path()};
    meshtest::RendererFixture fixture;
    Rainbows3D& r = fixture.renderer();

    RtString write(const std::string& name, const std::string& bytes) {
        writeFileBytes(dir.file(name), bytes);
        return RtString(dir.file(name).c_str());
    }
    std::string log() { return testsupport::readFileBytes(dir.file("ErrorLog.txt")); }
};

}  // namespace

TEST_F(SlotLoading, AModelBecomesOneDrawablePart) {
    ASSERT_EQ(1u, r.loadObject(write("square.ddd", kSquare), 3));
    const Object3DSlot& s = *r.slot(3);
    EXPECT_EQ(1, s.used);
    EXPECT_EQ(0, s.multiPart);
    ASSERT_EQ(1, s.parts.count);
    EXPECT_EQ(6, s.parts.data[0].frames.data[0].triangles.count);  // a fan of two triangles
    EXPECT_EQ(6, s.parts.data[0].baseTriangles.count);
    EXPECT_FLOAT_EQ(0.5f, s.parts.data[0].frames.data[0].centre[0]);
    EXPECT_EQ(1, s.parts.step);
}

TEST_F(SlotLoading, MissingFilesAndEmptyNamesLeaveAnEmptySlotWithoutALogLine) {
    r.beginObject(3, 1);
    ASSERT_EQ(1u, r.loadObject(write("square.ddd", kSquare), 3));
    EXPECT_EQ(-1, buildSlot);  // the load ended the building
    EXPECT_EQ(0u, r.loadObject(RtString(dir.file("nothing.ddd").c_str()), 3));
    EXPECT_EQ(0, r.slot(3)->used);
    EXPECT_EQ(0, r.slot(3)->parts.count);
    EXPECT_EQ(nullptr, r.slot(3)->parts.data);
    EXPECT_EQ(0u, r.loadObject(RtString(""), 3));
    EXPECT_EQ(0u, r.loadObject(write("square.ddd", kSquare), kObjectSlotCount));
    EXPECT_EQ("", log());
}

TEST_F(SlotLoading, ATextModelWithAnEmptyFrame0GivesZero) {
    EXPECT_EQ(0u, r.loadObject(write("empty.ddd", "DDDA 1.0 0 0 1 0"), 4));
    EXPECT_EQ(0, r.slot(4)->parts.count);
    EXPECT_EQ(0u, r.loadObject(write("junk.ddd", "not a model"), 4));
    EXPECT_EQ("# read error\n" + dir.file("junk.ddd") + "\n", log());
}

TEST_F(SlotLoading, LoadingOverAPackFreesEveryPartAndTextureName) {
    Object3DSlot& s = *r.slot(5);
    s.parts.reserve(3);
    s.parts.count = 3;
    s.textureNames.append(11);
    s.textureNames.append(12);
    s.used = s.multiPart = 1;
    ASSERT_EQ(1u, r.loadObject(write("square.ddd", kSquare), 5));
    EXPECT_EQ(1, s.parts.count);
    EXPECT_EQ(0, s.textureNames.count);
    EXPECT_EQ(nullptr, s.textureNames.data);
    EXPECT_EQ(0, s.multiPart);
}

TEST_F(SlotLoading, APackIsKnownByItsFirstBytesWhateverItsName) {
    write("square.ddd", kSquare);
    const RtString pack = write("looks_like.ddd", ";DDW\n[objects]\ncount=1\n1=square.ddd\n1ta=2\n");
    ASSERT_EQ(1u, r.loadObject(pack, 6));
    const Object3DSlot& s = *r.slot(6);
    EXPECT_EQ(1, s.used);
    EXPECT_EQ(1, s.multiPart);
    ASSERT_EQ(1, s.parts.count);
    EXPECT_EQ(6, s.parts.data[0].frames.data[0].triangles.count);
    EXPECT_EQ(1, s.parts.data[0].textureA);
}

TEST_F(SlotLoading, PackNamesAreRelativeToThePacksFolder) {
    ASSERT_EQ(0, mkdir(dir.file("models").c_str(), 0755));
    write("models/body.ddd", kSquare);
    write("body.ddd", "DDDA 1.0 0 0 0");  // not this one
    const RtString pack = write("models/car.pak",
                                ";DDW\n[Textures]\nCOUNT=2\n1=a.png\n[OBJECTS]\nCount=2\n1=body.ddd\n"
                                "1ta=1\n1tb=3\n2ta=0\n2tb=-4\n");
    ASSERT_EQ(1u, r.loadObject(pack, 7));
    const Object3DSlot& s = *r.slot(7);
    ASSERT_EQ(2, s.parts.count);
    EXPECT_EQ(1, s.parts.data[0].frames.count);
    EXPECT_EQ(0, s.parts.data[0].textureA);
    EXPECT_EQ(2, s.parts.data[0].textureB);
    EXPECT_EQ(0, s.parts.data[1].frames.count);  // "2" is missing: the name "0" does not load
    EXPECT_EQ(0, s.parts.data[1].textureA);
    EXPECT_EQ(-4, s.parts.data[1].textureB);
    ASSERT_EQ(2, s.textureNames.count);  // no GL context: no texture made
    EXPECT_EQ(0u, s.textureNames.data[0]);

    const RtString bare = write("bare.pak", ";DDW\n[objects]\ncount=1\n1=body.ddd\n");
    ASSERT_EQ(1u, r.loadObject(RtString("bare.pak"), 8));  // relative to the working folder
    EXPECT_EQ(1, r.slot(8)->parts.count);
    EXPECT_EQ(0, r.slot(8)->parts.data[0].frames.count);  // the root's body.ddd has no frames
    (void)bare;
}

TEST_F(SlotLoading, AnUnreadableOrHostilePackStillGivesAUsedSlot) {
    const RtString empty = write("empty.pak", ";DDW");
    ASSERT_EQ(1u, r.loadObject(empty, 9));
    EXPECT_EQ(1, r.slot(9)->used);
    EXPECT_EQ(1, r.slot(9)->multiPart);
    EXPECT_EQ(0, r.slot(9)->parts.count);
    const RtString huge = write("huge.pak", ";DDW\n[objects]\ncount=2000000000\n[textures]\ncount=-7\n");
    ASSERT_EQ(1u, r.loadObject(huge, 9));
    EXPECT_EQ(kMaxPackEntries, r.slot(9)->parts.count);
    EXPECT_EQ(0, r.slot(9)->textureNames.count);
}

TEST_F(SlotLoading, APackInAMemoryBlockIsParsedFromItsOwnCopy) {
    const std::string text = ";DDW\n[objects]\ncount=3\n";
    const uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(text.data()),
                                                 static_cast<uint32_t>(text.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(text.size()), key);
    ASSERT_EQ(1u, r.loadObject(RtString(name), 10));
    EXPECT_EQ(3, r.slot(10)->parts.count);
    files::unregisterMemBlock(key);
}

TEST_F(SlotLoading, SavingWritesPart0AndReportsTheWritersResult) {
    ASSERT_EQ(1u, r.loadObject(write("square.ddd", kSquare), 3));
    EXPECT_EQ(1, r.saveObject(RtString(dir.file("saved.ddd").c_str()), 3));
    EXPECT_EQ(24u + 4 * 2 + 8 * 5 + 4 + 14 * 5, testsupport::readFileBytes(dir.file("saved.ddd")).size());
    EXPECT_EQ(0, r.saveObject(RtString(dir.file("no/such/folder.ddd").c_str()), 3));
    EXPECT_EQ(0, r.saveObject(RtString(dir.file("none.ddd").c_str()), 4));  // no parts
    EXPECT_EQ(1u, r.loadObject(RtString(dir.file("saved.ddd").c_str()), 4));
    EXPECT_EQ(6, r.slot(4)->parts.data[0].frames.data[0].triangles.count);
}

TEST_F(SlotLoading, AReducedObjectIsSavedAsAFileThatLoadsAgain) {
    ASSERT_EQ(1u, r.loadObject(write("square.ddd", kSquare), 3));
    r.reduceObject(3);
    ASSERT_EQ(1, r.saveObject(RtString(dir.file("stub.ddd").c_str()), 3));
    MeshObjectX stub;
    ASSERT_EQ(1, loadDddFile(stub, dir.file("stub.ddd").c_str()));
    EXPECT_EQ(std::string::npos, log().find("# read error"));
    ASSERT_EQ(1, stub.frames.count);
    const RtVector<MeshVertex>& reduced = r.slot(3)->parts.data[0].frames.data[0].nodes;
    const RtVector<MeshVertex>& loaded = stub.frames.data[0].nodes;
    ASSERT_EQ(3, loaded.count);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(reduced.data[k].colour, loaded.data[k].colour) << k;
        EXPECT_EQ(reduced.data[k].x, loaded.data[k].x) << k;
    }
    EXPECT_EQ(1u, r.loadObject(RtString(dir.file("stub.ddd").c_str()), 4));
}

TEST_F(SlotLoading, ReductionLeavesOneFrameOfThreeNodesAndOneTriangleRecord) {
    MeshObjectX& part = fixture.putTriangles(2, meshtest::cubeCorners(1));  // 37 nodes, 36 records
    part.frames.reserve(2);
    part.frames.count = 2;
    part.frames.data[1] = part.frames.data[0];
    part.buildEdgeNeighbours();
    part.textureA = 4;
    part.frames.data[0].nodes.count = 10;
    part.frames.data[0].triangles.count = 12;
    const MeshVertex first = part.frames.data[0].nodes.data[1];
    r.reduceObject(2);
    ASSERT_EQ(1, part.frames.count);
    EXPECT_EQ(1, part.frames.step);
    EXPECT_EQ(3, part.frames.data[0].nodes.count);
    EXPECT_EQ(1, part.frames.data[0].triangles.count);
    EXPECT_EQ(first.x, part.frames.data[0].nodes.data[1].x);
    EXPECT_EQ(0, part.palette.count);
    EXPECT_EQ(nullptr, part.palette.data);
    EXPECT_EQ(nullptr, part.edges.data);
    EXPECT_EQ(3, part.baseTriangles.count);
    EXPECT_EQ(0.0f, part.baseTriangles.data[2].x);
    EXPECT_EQ(4, part.textureA);
    EXPECT_EQ(1, r.slot(2)->used);
    const float centre[3] = {0, 0, 0};
    EXPECT_EQ(0, r.collideSphereSlot(2, 0, 5, centre));
    r.reduceObject(2);  // twice is once
    EXPECT_EQ(1, part.frames.count);
    EXPECT_EQ(3, part.frames.data[0].nodes.count);
    EXPECT_EQ(first.x, part.frames.data[0].nodes.data[1].x);
}

TEST_F(SlotLoading, ReductionOfShortAndFramelessParts) {
    Object3DSlot& s = *r.slot(1);
    s.parts.reserve(2);
    s.parts.count = 2;
    meshtest::fillTriangleList(s.parts.data[0], {{5, 5, 5}});  // 2 nodes, no triangle
    s.parts.data[1].palette.append(7);
    s.parts.data[1].litFaces.append(1);
    r.reduceObject(1);
    const RtVector<MeshVertex>& nodes = s.parts.data[0].frames.data[0].nodes;
    ASSERT_EQ(3, nodes.count);
    EXPECT_EQ(5.0f, nodes.data[1].x);
    EXPECT_EQ(0.0f, nodes.data[2].x);
    EXPECT_EQ(0.0f, s.parts.data[0].frames.data[0].triangles.data[0].x);
    EXPECT_EQ(0, s.parts.data[1].frames.count);
    EXPECT_EQ(0, s.parts.data[1].palette.count);
    EXPECT_EQ(0, s.parts.data[1].litFaces.count);
    EXPECT_EQ(3, s.parts.data[1].baseTriangles.count);
    r.reduceObject(-1);
}
