#include "netmodel/TuplePool.h"

#include "netmodel/FrameView.h"
#include "netmodel/IntegrityText.h"
#include "netmodel/TupleOfferSink.h"
#include "platform/core/Format.h"
#include "runtime/GlobalState.h"

#include <new>
#include <unordered_map>

namespace vq {

namespace {

constexpr const char* IndexTexts[TAOPool::IndexCount] = {
    "SOURCE",    "DESTINATION", "INTERFACE",    "DATALINK",    "NETWORK",
    "TRANSPORT", "SESSION",     "PRESENTATION", "APPLICATION", "REF_SESSION"};

bool Fail(std::string text) {
    IntegrityText() = std::move(text);
    return false;
}

} // namespace

TuplePool::TuplePool(uint8_t live, TupleOfferSink* offers) : m_Live(live), m_Offers(offers) {}

TuplePool::~TuplePool() {
    Reset();
}

Tuple::Fields TuplePool::FieldsForFrame(const FrameView& frame, uint16_t interfaceNumber) {
    Tuple::Fields fields;
    fields[FieldInterface] = interfaceNumber;
    for (int layer = FrameView::DataLink; layer < FrameView::LayerCount; ++layer)
        fields[size_t(FieldDataLink + layer)] = frame.GetProtocolId(FrameView::Layer(layer));
    try {
        fields[FieldReferenceSession] = m_ReferenceSessions.Compute(frame);
    } catch (...) {
        m_ReferenceSessions.Abandon();
        throw;
    }
    return fields;
}

Tuple* TuplePool::FindOrAddForFields(HostAddress* source, HostAddress* destination,
                                     const Tuple::Fields& fields) {
    Tuple* tuple = nullptr;
    try {
        if (TAO* found = FindSimilarFields(source, destination, fields)) {
            m_ReferenceSessions.Tie(found->GetTuple());
            return found->GetTuple();
        }
        auto made = std::make_unique<Tuple>(source, destination, fields, uint8_t(1));
        Add(made.get());
        tuple = made.release();
        m_ReferenceSessions.Tie(tuple);
    } catch (...) {
        // Nothing of a failed frame stays: the frame's new hosts may go with it, so its new tuple
        // must, and so must the reference sessions it began.
        if (tuple != nullptr) Remove(tuple);
        m_ReferenceSessions.Abandon();
        throw;
    }
    Offer(*tuple);
    return tuple;
}

void TuplePool::Offer(Tuple& tuple) {
    if (m_Offers == nullptr) return;
    try {
        for (int pool = 0; pool < TupleOfferSink::PoolCount; ++pool)
            m_Offers->AttachTuple(TupleOfferSink::Pool(pool), tuple);
    } catch (const std::bad_alloc&) {
        // The tuple is filed already; the actions that missed it see it at their next install.
    }
}

std::unique_ptr<TAO> TuplePool::NewTAO(const TAO& key) {
    const Tuple* tuple = key.GetTuple();
    if (tuple == nullptr) return std::make_unique<Tuple>(uint8_t(0));
    return std::make_unique<Tuple>(*tuple, NullCopy, uint8_t(0));
}

void TuplePool::Reset() {
    // The sessions go first: every tuple leaves, and untying them one by one would only empty the
    // map a look-up at a time.
    m_ReferenceSessions.Clear();
    Clear();
}

void TuplePool::OnRemoving(TAO& tao) {
    m_ReferenceSessions.Untie(tao.GetTuple());
}

std::string TuplePool::Dump() const {
    std::string text = Format("TuplePool (size %d)\n\n", GetCount());
    text += "index\tsrc\tdst\tif\tdata\tnetw\ttran\tsess\tpres\tappl\trefs\taddress\t\tvalue\n";
    for (size_t i = 0; i < m_List.size(); ++i) {
        const TAO* tao = m_List[i];
        const Tuple* tuple = tao != nullptr ? tao->GetTuple() : nullptr;
        if (tuple == nullptr) {
            text += Format("%d\t\tINVALID\t\t\t\t\t\t\t\t\t%p\n", int(i), static_cast<const void*>(tao));
            continue;
        }
        text += Format("%d\t", int(i));
        for (int mark = 0; mark < IndexCount; ++mark)
            text += Format("\t%d", tuple->GetCheckMark(mark));
        text += Format("\t%p\t%s\n", static_cast<const void*>(tuple), tuple->GetText(false).c_str());
    }
    return text + DumpIndexes("TuplePool");
}

bool TuplePool::CheckIntegrity(bool force) {
    if (!force && TheGlobalState().m_IntegrityOptions[3].load() == 0) return true;
    std::unordered_map<const TAO*, int> items;
    for (size_t i = 0; i < m_List.size(); ++i) {
        TAO* tao = m_List[i];
        if (tao == nullptr || tao->GetTuple() != tao) return Fail(Format("_BAD_ELEMENT %d", int(i)));
        tao->GetTuple()->ResetCheckMarks();
        items.emplace(tao, int(i));
    }
    for (int number = 0; number < IndexCount; ++number) {
        const TAOIndex& index = GetIndex(number);
        const char* name = IndexTexts[number];
        int elementNumber = 0;
        for (const auto& element : index.Ordered()) {
            const int e = elementNumber++;
            for (const TAOList* list : element.lists) {
                for (size_t i = 0; i < list->Items().size(); ++i) {
                    const TAO* tao = list->Items()[i];
                    auto it = items.find(tao);
                    if (it == items.end())
                        return Fail(Format("_BAD_%s_LIST_ELEMENT index %d item %d", name, e, int(i)));
                    Tuple* tuple = tao->GetTuple();
                    if (tuple->GetCheckMark(number) != -1)
                        return Fail(Format("_ELEMENT_%s_SET index %d item %d", name, e, it->second));
                    tuple->SetCheckMark(number, e);
                }
            }
        }
        for (size_t i = 0; i < m_List.size(); ++i) {
            const Tuple* tuple = m_List[i]->GetTuple();
            // A tuple lacking the host of a host index's side is not filed there.
            if (index.IsHostIndex() && tuple->GetKeyHost(index.GetKeyBit()) == nullptr) continue;
            if (tuple->GetCheckMark(number) == -1)
                return Fail(Format("_ELEMENT_%s_MISSING %d", name, int(i)));
        }
    }
    return true;
}

} // namespace vq
