#pragma once

// For tests only; the program never includes this. While an object of this class lives,
// new password hashes are made with the given iteration count instead of
// PasswordHash::Iterations, so that a suite creating many operators stays quick. The
// count is written into every hash, so these verify like any other.
namespace PasswordHash {

class TestIterations
{
public:
    explicit TestIterations(int iterations);
    ~TestIterations();
    TestIterations(const TestIterations &) = delete;
    TestIterations &operator=(const TestIterations &) = delete;

private:
    int m_previous;
};

} // namespace PasswordHash
