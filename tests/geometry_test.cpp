// Vector and 4x4 matrix arithmetic, the rotation builders, the n x n routines, and the
// safe file writer (a failed write keeps the previous file; links and pipes are written
// where they lead).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "geometry/DoubleArray.h"
#include "geometry/Matrix4.h"
#include "geometry/MatrixN.h"
#include "geometry/SafeFileWriter.h"
#include "geometry/Vector3.h"
#include "mesh_checks.h"

namespace vantrel {
namespace {

const double kPi = std::acos(-1.0);
using meshchecks::ExpectNear;

void ExpectNear(const Matrix4& actual, const Matrix4& expected, double tolerance = 1e-12) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

Matrix4 Identity() {
    Matrix4 m;
    m.SetIdentity();
    return m;
}

Matrix4 About(int axis, double angle) {
    Matrix4 m;
    axis == 0 ? m.SetRotationX(angle) : axis == 1 ? m.SetRotationY(angle) : m.SetRotationZ(angle);
    return m;
}

Vector3 RandomVector(std::mt19937& random) {
    std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
    return Vector3(coordinate(random), coordinate(random), coordinate(random));
}

// Diagonally dominant, so far from singular and accurately invertible.
std::vector<double> WellConditioned(std::mt19937& random, int n) {
    std::uniform_real_distribution<double> element(-1.0, 1.0);
    std::vector<double> a(static_cast<std::size_t>(n) * n);
    for (int i = 0; i < n * n; ++i) a[i] = element(random) + (i % (n + 1) == 0 ? n + 1.0 : 0.0);
    return a;
}

TEST(Vector3, ZeroFlagRulesOfNormalizeAssignmentAndArithmetic) {
    Vector3 v;
    EXPECT_FALSE(v.Normalize());
    EXPECT_TRUE(v.zero);
    v.x = 3.0;
    v.y = 4.0;
    EXPECT_TRUE(v.Normalize());
    ExpectNear(v, Vector3(0.6, 0.8, 0.0));
    EXPECT_TRUE(v.zero) << "a successful Normalize never clears the flag";
    EXPECT_TRUE(Vector3(std::nan(""), 1.0, 0.0).Normalize()) << "a NaN length is not zero";
    // Copies carry the flag; assignment keeps the target's own.
    const Vector3 plain(1.0, 2.0, 3.0);
    Vector3 target = v;
    EXPECT_TRUE((target = plain).zero);
    Vector3 other(5.0, 5.0, 5.0);
    other = v;
    EXPECT_FALSE(other.zero);
    // New vectors from arithmetic start unflagged; compound updates keep the flag.
    EXPECT_FALSE(v.Cross(plain).zero || (v + plain).zero || (-v).zero || (v * 2.0).zero);
    v += plain;
    EXPECT_TRUE(v.zero);
}

TEST(Matrix4Rotation, AxisRotationsTurnCounterClockwiseAndZeroAxesNeedAZeroTurn) {
    for (double angle : {0.25, -1.3, kPi}) {
        Matrix4 m;
        m.SetRotation(Vector3(0, 0, 2), std::cos(angle), std::sin(angle));
        ExpectNear(m, About(2, angle), 0.0);
        m.SetRotation(Vector3(1, 0, 0), angle);
        ExpectNear(m, About(0, angle), 0.0);
        m.SetRotation(Vector3(0, 1, 0), angle);
        ExpectNear(m, About(1, angle), 0.0);
    }
    Matrix4 m;
    m.SetRotation(Vector3(0, 0, 5), kPi / 2);
    ExpectNear(m.Transform(Vector3(1, 0, 0)), Vector3(0, 1, 0));
    m.SetRotation(Vector3(1, -2, 0.5), 1.1);
    ExpectNear(m.Multiply(m.Transposed()), Identity());
    m = About(0, 0.3);
    EXPECT_TRUE(m.SetRotation(Vector3(), 1.0, 0.0)) << "a zero turn needs no axis";
    ExpectNear(m, Identity(), 0.0);
    m = About(0, 0.3);
    EXPECT_FALSE(m.SetRotation(Vector3(), std::cos(0.3), std::sin(0.3)));
    ExpectNear(m, Identity(), 0.0);
}

// The inverse, the axis-angle split and the decomposition each undo what built the matrix.
TEST(Matrix4, InverseAxisAngleAndDecomposeUndoTheirBuilders) {
    std::mt19937 random(2024);
    const std::vector<double> elements = WellConditioned(random, 4);
    Matrix4 m, inverted, rotation, rebuilt;
    std::copy(elements.begin(), elements.end(), m.m);
    inverted = m;
    ASSERT_TRUE(inverted.Invert());
    ExpectNear(inverted.Multiply(m), Identity());
    ExpectNear(m.Multiply(m.Inverse()), Identity());
    inverted.SetScale(1e-4, 1e-4, 1e-4);  // determinant 1e-12: refused, left as it was
    const Matrix4 before = inverted;
    EXPECT_FALSE(inverted.Invert());
    ExpectNear(inverted, before, 0.0);
    Vector3 axis, translation;
    double angle = 0.0, factor = 0.0;
    // A half turn has no trace term: each axis-like direction takes another diagonal branch.
    const std::pair<Vector3, double> turns[] = {{RandomVector(random), 2.0},
                                                {Vector3(1, 0.2, 0.1), kPi},
                                                {Vector3(0.1, 1, 0.3), kPi},
                                                {Vector3(0.2, 0.1, 1), kPi}};
    for (const auto& [about, turn] : turns) {
        rotation.SetRotation(about, turn);
        rotation.ToAxisAngle(axis, angle);
        rebuilt.SetRotation(axis, angle);
        ExpectNear(rebuilt, rotation, 1e-9);
    }
    // Multiply applies its right operand first: T * (S * R) keeps T's translation unrotated.
    Matrix4 translate, scale, rotate;
    translate.SetTranslation(Vector3(1, -2, 3));
    scale.SetScale(2.5, 2.5, 2.5);
    rotate.SetRotation(Vector3(1, 2, 2), 0.8);
    translate.Multiply(scale.Multiply(rotate)).Decompose(axis, angle, factor, translation);
    ExpectNear(translation, Vector3(1, -2, 3));
    EXPECT_NEAR(factor, 2.5, 1e-12);
    EXPECT_NEAR(angle, 0.8, 1e-9);
    ExpectNear(axis, Vector3(1.0 / 3, 2.0 / 3, 2.0 / 3), 1e-9);
}

TEST(RotationBetween, NormalisesInPlaceTurnsAOntoBAndFallsBackToTheIdentity) {
    Vector3 x(1, 0, 0), y(0, 2, 0);
    Matrix4 out;
    RotationBetween(x, y, out);
    ExpectNear(y, Vector3(0, 1, 0), 0.0);
    ExpectNear(out, About(2, kPi / 2));
    std::mt19937 random(5);
    for (int trial = 0; trial < 5; ++trial) {
        Vector3 a = RandomVector(random) * 4.0, b = RandomVector(random) * 0.3;
        RotationBetween(a, b, out);
        ExpectNear(out.Transform(a), b);
    }
    // Opposite, zero, and nearly parallel: c and d normalise to a dot product of 1 + 2^-52
    // while their cross product is not zero. A partner of zero is left unnormalised.
    Vector3 a(1, 0, 0), b(-1, 0, 0), longA(3, 0, 0), zero, c(1.0, 8e-9, 0.3),
        d(1.0 + 7e-12, 8e-9, 0.3);
    for (const auto& [p, q] : {std::pair{&a, &b}, {&longA, &zero}, {&c, &d}}) {
        out = About(0, 1.0);
        RotationBetween(*p, *q, out);
        ExpectNear(out, Identity());
    }
    ASSERT_GT(c.Dot(d), 1.0);
    ExpectNear(longA, Vector3(3, 0, 0), 0.0);
    EXPECT_TRUE(out.SetRotationBetween(Vector3(2, 1, 0), Vector3(0, 1, 3)));
    ExpectNear(out.Transform(Vector3(2, 1, 0) / std::sqrt(5.0)),
               Vector3(0, 1, 3) / std::sqrt(10.0));
}

TEST(RotationFromAxis, TurnsTheCoordinateAxisOntoTheDirectionOrGivesIdentity) {
    std::mt19937 random(3);
    Vector3 axis;
    Matrix4 out;
    for (int trial = 0; trial < 5; ++trial) {
        Vector3 d = RandomVector(random) * 3.0, e = RandomVector(random) * 0.2;
        RotationFromYAxis(d, axis, out);
        EXPECT_NEAR(d.Length(), 1.0, 1e-15);
        ExpectNear(out.Transform(Vector3(0, 1, 0)), d);
        RotationFromZAxis(e, axis, out);
        ExpectNear(out.Transform(Vector3(0, 0, 1)), e);
    }
    // Zero and opposite directions give the identity; the axis is not written for zero.
    Vector3 untouched(9, 9, 9), zero, down(0, -3, 0);
    for (Vector3* direction : {&zero, &down}) {
        out = About(0, 1.0);
        RotationFromYAxis(*direction, direction == &zero ? untouched : axis, out);
        ExpectNear(out, Identity(), 0.0);
    }
    ExpectNear(untouched, Vector3(9, 9, 9), 0.0);
}

// The determinant, LU factors, inverse and solver agree with one another; singular
// systems fail without writing the output.
TEST(MatrixN, DeterminantInverseAndSolveAgreeAndSingularInversesLeaveTheOutput) {
    const double two[] = {1, 2, 3, 4}, three[] = {2, 0, 1, 1, 3, 2, 1, 1, 2};
    EXPECT_EQ(DeterminantN(nullptr, 0), 0.0);
    EXPECT_EQ(DeterminantN(two, 2), -2.0);
    EXPECT_DOUBLE_EQ(DeterminantN(three, 3), 6.0);
    std::mt19937 random(31);
    std::uniform_real_distribution<double> element(-3.0, 3.0);
    for (int n = 1; n <= 6; ++n) {
        std::vector<double> a = WellConditioned(random, n);
        if (n > 2)
            std::swap_ranges(a.begin(), a.begin() + n, a.begin() + 2 * n);  // forces a pivot swap
        std::vector<double> factors = a, b(n), inverse(a.size()), expected(n, 99.0), ax(n);
        std::vector<int> perm(n);
        EXPECT_NEAR(DecomposeLU(n, factors.data(), perm.data()), DeterminantN(a.data(), n), 1e-10);
        for (double& value : b) value = element(random);
        ASSERT_TRUE(InverseN(a.data(), inverse.data(), n));
        MultiplyMatVecN(inverse.data(), b.data(), expected.data(), n);
        const std::vector<double> x = SolveLinearN(a.data(), b.data(), n);
        ASSERT_EQ(x.size(), static_cast<std::size_t>(n));
        MultiplyMatVecN(a.data(), x.data(), ax.data(), n);
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(x[i], expected[i], 1e-12) << n << " " << i;
            EXPECT_NEAR(ax[i], b[i], 1e-12) << n << " " << i;
        }
    }
    double out[9] = {7, 7, 7, 7, 7, 7, 7, 7, 7};
    const double firstColumnZero[] = {0, 1, 2, 0, 3, 4, 0, 5, 6}, rankOne[] = {1, 2, 2, 4};
    EXPECT_FALSE(InverseN(firstColumnZero, out, 3));
    EXPECT_FALSE(InverseN(firstColumnZero, out, 1));
    EXPECT_FALSE(InverseN(rankOne, out, 2));
    EXPECT_FALSE(InverseN(rankOne, out, 0));
    for (double value : out) EXPECT_EQ(value, 7.0);
    // A zero pivot stops the factorisation with the permutation filled; solving such a
    // system gives non-finite values but reads no unset index.
    double zeroRow[] = {1, 2, 3, 0, 1e-12, 0, 4, 5, 6};
    int filled[3] = {-5, -5, -5};
    EXPECT_EQ(DecomposeLU(3, zeroRow, filled), 0.0);
    EXPECT_TRUE(filled[0] == 0 && filled[2] == 2);
    const double singular[] = {1, 2, 0, 0}, ones[] = {1, 1};
    const std::vector<double> x = SolveLinearN(singular, ones, 2);
    EXPECT_FALSE(std::isfinite(x[0]) && std::isfinite(x[1]));
    EXPECT_TRUE(SolveLinearN(nullptr, nullptr, 0).empty());
}

// One expression uses every operator: a wrong sign or factor in any changes the sum.
TEST(DoubleArrayOperators, ResultsTakeTheFirstOperandsSizeAndShortSecondOperandsThrow) {
    const DoubleArray a{1, 2, 3}, b{4, 5, 6, 100}, shorter{1, 2};
    EXPECT_EQ(Dot(a, b), 32.0);
    EXPECT_EQ(((a + b) - 2.0 * -a).values(), (std::vector<double>{7, 11, 15}));
    EXPECT_THROW(a + shorter, std::invalid_argument);
}

namespace fs = std::filesystem;

// Each test gets an empty folder of its own.
class SafeFileWriter : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    static FileWriteResult WriteText(const std::string& path, const std::string& text) {
        return WriteFileSafely(path, [&text](std::FILE* file) {
            return std::fwrite(text.data(), 1, text.size(), file) == text.size();
        });
    }
    const fs::path folder_ = meshchecks::ScratchPath("folder");
};

// Every open fails while the descriptor limit is below the lowest free descriptor,
// which makes "no temporary file can be made" reproducible even for root.
FileWriteResult WriteWithNoDescriptorLeft(const std::string& path) {
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    rlimit starved = saved;
    starved.rlim_cur = static_cast<rlim_t>(lowestFree);
    setrlimit(RLIMIT_NOFILE, &starved);
    const FileWriteResult result =
        WriteFileSafely(path, [](std::FILE* file) { return std::fputs("new", file) >= 0; });
    setrlimit(RLIMIT_NOFILE, &saved);
    return result;
}

TEST_F(SafeFileWriter, FailedWriteLeavesThePreviousFileAndNoTemporary) {
    const std::string path = PathOf("scene.json");
    for (const bool noDescriptor : {false, true}) {
        ASSERT_EQ(WriteText(path, "previous"), FileWriteResult::kWritten);
        if (noDescriptor) {
            EXPECT_EQ(WriteWithNoDescriptorLeft(path), FileWriteResult::kCannotOpen);
        } else {
            EXPECT_EQ(WriteFileSafely(path,
                                      [](std::FILE* file) {
                                          std::fputs(std::string(100000, 'x').c_str(), file);
                                          return false;
                                      }),
                      FileWriteResult::kCannotWrite);
        }
        EXPECT_EQ(meshchecks::ReadFile(path), "previous");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
    }
}

TEST_F(SafeFileWriter, ReplacedFileKeepsItsPermissionsAndItsLink) {
    const std::string real = PathOf("real.obj"), link = PathOf("link.obj");
    ASSERT_EQ(WriteText(real, "old"), FileWriteResult::kWritten);
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    fs::create_symlink(real, link);
    ASSERT_EQ(WriteText(link, "new"), FileWriteResult::kWritten);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(meshchecks::ReadFile(real), "new");
    struct stat written {};
    ASSERT_EQ(::stat(real.c_str(), &written), 0);
    EXPECT_EQ(written.st_mode & 07777, 0640u);
}

TEST_F(SafeFileWriter, PipeIsWrittenInPlace) {
    const std::string pipe = PathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Holding the reading end open lets the writer open the pipe without blocking.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(WriteText(pipe, "through"), FileWriteResult::kWritten);
    char received[16] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 7);
    ::close(reader);
    EXPECT_EQ(std::string(received), "through");
}

TEST_F(SafeFileWriter, LongestLegalNameCanBeWritten) {
    EXPECT_EQ(WriteText(PathOf(std::string(255, 'n')), "long"), FileWriteResult::kWritten);
}

}  // namespace
}  // namespace vantrel
