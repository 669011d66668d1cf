// A test's own call in one of the product's seams for as long as this object lives; the call
// that was there before goes back when it goes. Without a stand-in it only keeps and restores,
// for a test that puts its calls in later.
#pragma once

namespace testseam {

template <typename Fn>
class Swap {
public:
    explicit Swap(Fn& seam) : m_seam(seam), m_before(seam) {}
    Swap(Fn& seam, Fn standIn) : Swap(seam) { m_seam = standIn; }
    ~Swap() { m_seam = m_before; }
    Swap(const Swap&) = delete;
    Swap& operator=(const Swap&) = delete;

private:
    Fn& m_seam;
    Fn m_before;
};

}
