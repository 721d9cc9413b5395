#pragma once

#include "netmodel/SimilarTupleFinder.h"
#include "netmodel/TAOIndex.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class TAO;
class Tuple;

// A list of TAOs, which it owns, with an index per key field of their tuples. The ten indexes serve
// the dumps, the integrity check and whoever asks for one; frames and imports find their TAO through
// the finder. So the indexes are filed only once somebody asks, from the list in its order, which
// gives them exactly as filing every TAO on its way in would have; from then on they are kept up to
// date until the pool is emptied.
class TAOPool {
public:
    TAOPool();
    virtual ~TAOPool();
    TAOPool(const TAOPool&) = delete;
    TAOPool& operator=(const TAOPool&) = delete;

    // Appends the TAO, becomes its owner and files it in all ten indexes.
    virtual bool Add(TAO* tao);
    // Unfiles, unlists and deletes the TAO; false when it is not in the pool.
    virtual bool Remove(TAO* tao);
    // The TAO whose tuple fully matches the key's, among those with the key's source host; otherwise
    // a new one from NewTAO, filed. Null (created false) when memory runs out making it.
    virtual TAO* FindOrAdd(const TAO& key, bool* created);
    virtual std::unique_ptr<TAO> NewTAO(const TAO& key) = 0;

    // The position in the list, or -1; found by the TAO's pool order, without a scan.
    int IndexOf(const TAO* tao) const;
    // The first TAO equal to the key.
    TAO* FindEqual(const TAO& key) const;
    TAO* FindSimilar(const Tuple& tuple, bool session) const;
    void Clear();
    TAO* GetNextTAO(size_t& position) const;
    int GetCount() const { return int(m_List.size()); }
    const std::vector<TAO*>& GetList() const { return m_List; }

    enum IndexNumber : int {
        SourceIndex = 0,
        DestinationIndex,
        InterfaceIndex,
        DataLinkProtocolIndex,
        NetworkProtocolIndex,
        TransportProtocolIndex,
        SessionProtocolIndex,
        PresentationProtocolIndex,
        ApplicationProtocolIndex,
        ReferenceSessionIndex,
        IndexCount
    };
    // Files the indexes first when nobody asked for them since the pool was last emptied.
    const TAOIndex& GetIndex(int number) const;
    // The model whose host table the TAOs' tuples take their hosts from: its equality index then
    // serves the pool's searches.
    void SetHostReference(const HostEqualityIndex* reference) { m_Finder.SetReference(reference); }
    // See SimilarTupleFinder::GetStamp.
    uint64_t GetFinderStamp() const { return m_Finder.GetStamp(); }

protected:
    // Files in every index, undoing the filings already made when memory runs out.
    void FileInIndexes(TAO& tao) const;
    void UnfileFromIndexes(TAO& tao) const;
    void FileIndexes() const;
    // Called before a removed TAO is deleted.
    virtual void OnRemoving(TAO&) {}
    // Deletes the TAOs of an emptied pool; a pool may keep their room for the TAOs to come.
    virtual void Discard(const std::vector<TAO*>& leaving) {
        for (TAO* tao : leaving)
            delete tao;
    }
    // Whether an answer is kept for the next frame of the same stream (the pool frames are counted
    // in) or the next merge of the same conversation (a pool merged into); see Tuple::Remember.
    enum class Memory : uint8_t { None, CountedIn, MergedInto };
    TAO* FindMatching(const Tuple& tuple, Memory memory = Memory::None) const;
    // Keeps a TAO just added after FindMatching found none as the tuple's answer: it is the only
    // match, and any TAO added later ranks after it.
    void RememberAdded(const Tuple& tuple, TAO& added, Memory memory) const;
    TAO* FindOrAddMatching(const TAO& key, bool* created, Memory memory);
    // The token answers of this pool are kept under now; see Tuple::Recall.
    uint64_t GetAnswerToken() const { return m_Finder.GetToken(); }
    TAO* FindSimilarFields(const HostAddress* source, const HostAddress* destination,
                           const Tuple::Fields& fields) const {
        return m_Finder.Find(source, destination, fields, SimilarTupleFinder::Rule::Similar);
    }
    std::string DumpIndexes(const char* poolName) const;

    std::vector<TAO*> m_List;

private:
    std::array<std::unique_ptr<TAOIndex>, IndexCount> m_Indexes;
    // Whether the indexes hold every TAO of the list.
    mutable bool m_Filed = false;
    SimilarTupleFinder m_Finder;
    uint64_t m_NextOrder = 0;
};

} // namespace vq
