#include "platform/unique_fd.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <utility>

namespace lct {
namespace {

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

int openNull() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

TEST(UniqueFd, ClosesWhatItHoldsWhenItGoesAway) {
    int raw = -1;
    {
        const UniqueFd fd(openNull());
        raw = fd.get();
        ASSERT_TRUE(isOpen(raw));
    }
    EXPECT_FALSE(isOpen(raw));
}

TEST(UniqueFd, AMoveHandsOverTheDescriptorOnce) {
    UniqueFd first(openNull());
    const int raw = first.get();
    UniqueFd second(std::move(first));
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(second.get(), raw);
    UniqueFd third;
    third = std::move(second);
    EXPECT_EQ(third.get(), raw);
    EXPECT_TRUE(isOpen(raw));
}

TEST(UniqueFd, ResetClosesTheOldDescriptor) {
    UniqueFd fd(openNull());
    const int old = fd.get();
    const int other = openNull();
    fd.reset(other);
    EXPECT_EQ(fd.get(), other);
    EXPECT_NE(old, other);
    EXPECT_FALSE(isOpen(old));
    fd.reset();
    EXPECT_FALSE(fd);
}

TEST(UniqueFd, CloseReportsAndLeavesNothingHeld) {
    UniqueFd fd(openNull());
    const int raw = fd.get();
    EXPECT_TRUE(fd.close());
    EXPECT_FALSE(fd);
    EXPECT_FALSE(isOpen(raw));
    EXPECT_TRUE(fd.close());  // nothing held: nothing to fail
}

}  // namespace
}  // namespace lct
