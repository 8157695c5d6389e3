#pragma once

#include "plot/ColumnPixels.h"
#include "plot/ColumnPolyline.h"
#include "plot/ColumnRuns.h"

#include <algorithm>
#include <cstddef>
#include <vector>

struct IndexRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The points of one curve in pieces drawn one after the other (the
// spectrum changes its pen between two), each piece cut into chunks of at
// most `chunkPoints` points. Chunks are reduced to column runs or dots on
// their own, on any thread and in any order; drawn in order afterwards
// they give exactly the calls of one lineTo or setPixel per point, since
// the polyline and the dots join a column that two chunks share.
template <typename Points> class ChunkedCurve {
public:
    ChunkedCurve(
        const Points& points, const std::vector<IndexRange>& pieces, std::size_t chunkPoints)
        : m_points(points)
        , m_pieceCount(pieces.size())
    {
        const std::size_t step = std::max<std::size_t>(1, chunkPoints);
        for (std::size_t piece = 0; piece < pieces.size(); ++piece)
            for (std::size_t begin = pieces[piece].begin; begin < pieces[piece].end; begin += step)
                m_chunks.push_back(
                    { piece, { begin, std::min(pieces[piece].end, begin + step) }, {}, {} });
    }

    std::size_t chunkCount() const { return m_chunks.size(); }

    // Safe to call for different chunks at the same time.
    void reduceToRuns(std::size_t chunk)
    {
        Chunk& c = m_chunks[chunk];
        appendColumnRuns(m_points, c.range.begin, c.range.end, c.runs);
    }

    void reduceToDots(std::size_t chunk, DeviceRect clip)
    {
        Chunk& c = m_chunks[chunk];
        std::vector<unsigned char> rowSeen(
            static_cast<std::size_t>(std::max(0, clip.bottom - clip.top)), 0);
        appendColumnDots(m_points, c.range.begin, c.range.end, clip, rowSeen, c.dots);
    }

    // After reduceToRuns of every chunk.
    void drawRuns(std::size_t piece, ColumnPolyline& curve) const
    {
        for (const Chunk& c : m_chunks)
            if (c.piece == piece)
                for (const ColumnRun& run : c.runs)
                    curve.lineToRun(run);
    }

    // After reduceToDots of every chunk.
    void drawDots(ColumnPixels& dots) const
    {
        for (const Chunk& c : m_chunks)
            for (DevicePoint dot : c.dots)
                dots.setPixel(dot);
    }

    std::size_t pieceCount() const { return m_pieceCount; }

private:
    struct Chunk {
        std::size_t piece;
        IndexRange range;
        std::vector<ColumnRun> runs;
        std::vector<DevicePoint> dots;
    };

    Points m_points;
    std::size_t m_pieceCount;
    std::vector<Chunk> m_chunks;
};
