#include "hostsim/model/surface_list.h"

#include <algorithm>

namespace hostsim {

void SurfaceList::add(IReaperControlSurface* surface) {
    if (surface && !contains(surface))
        m_surfaces.push_back(surface);
}

void SurfaceList::remove(const IReaperControlSurface* surface) {
    m_surfaces.erase(std::remove(m_surfaces.begin(), m_surfaces.end(), surface), m_surfaces.end());
}

int SurfaceList::indexOf(const IReaperControlSurface* surface) const {
    const auto it = std::find(m_surfaces.begin(), m_surfaces.end(), surface);
    return it == m_surfaces.end() ? -1 : static_cast<int>(it - m_surfaces.begin());
}

} // namespace hostsim
