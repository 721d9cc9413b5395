#pragma once

#include "history/DatabaseSupportADO.h"
#include "history/HistoryTableADO.h"

#include <string>

namespace vq::history {

// An open history database as the history thread uses it: one table object per table of the file,
// by number (the index into `m_Tables`) and by name, each with its columns bound to its row buffer
// and reachable by name through its column members.
class HistoryDB : public DatabaseSupportADO {
public:
    class TimeLine_Table : public HistoryTableADO {
    public:
        using TimeIndexField = IntFieldADO;
        using EndTimeField = DateFieldADO;
        using DurationField = DoubleFieldADO;
        using StatusField = ShortFieldADO;

        TimeLine_Table() : HistoryTableADO(TimeLine_Number) {}
        bool CreateFields() override;

        TimeIndexField* m_TimeIndex = nullptr;
        EndTimeField* m_EndTime = nullptr;
        DurationField* m_Duration = nullptr;
        StatusField* m_Status = nullptr;
    };

    class Data_Table : public HistoryTableADO {
    public:
        using DataIndexField = IntFieldADO;
        using OctetsField = DoubleFieldADO;
        using PacketsField = DoubleFieldADO;
        using PacketsUnder64Field = DoubleFieldADO;
        using Packets64Field = DoubleFieldADO;
        using Packets65To127Field = DoubleFieldADO;
        using Packets128To255Field = DoubleFieldADO;
        using Packets256To511Field = DoubleFieldADO;
        using Packets512To1023Field = DoubleFieldADO;
        using Packets1024To1518Field = DoubleFieldADO;
        using PacketsOver1518Field = DoubleFieldADO;
        using ErrorsField = DoubleFieldADO;
        using TupleIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        Data_Table() : HistoryTableADO(Data_Number) {}
        bool CreateFields() override;

        DataIndexField* m_DataIndex = nullptr;
        OctetsField* m_Octets = nullptr;
        PacketsField* m_Packets = nullptr;
        PacketsUnder64Field* m_PacketsUnder64 = nullptr;
        Packets64Field* m_Packets64 = nullptr;
        Packets65To127Field* m_Packets65To127 = nullptr;
        Packets128To255Field* m_Packets128To255 = nullptr;
        Packets256To511Field* m_Packets256To511 = nullptr;
        Packets512To1023Field* m_Packets512To1023 = nullptr;
        Packets1024To1518Field* m_Packets1024To1518 = nullptr;
        PacketsOver1518Field* m_PacketsOver1518 = nullptr;
        ErrorsField* m_Errors = nullptr;
        TupleIndexField* m_TupleIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class Tuple_Table : public HistoryTableADO {
    public:
        using TupleIndexField = IntFieldADO;
        using SrcHostIndexField = IntFieldADO;
        using DstHostIndexField = IntFieldADO;
        using InterfaceIndexField = IntFieldADO;
        using DataLinkField = IntFieldADO;
        using NetworkField = IntFieldADO;
        using TransportField = IntFieldADO;
        using SessionField = IntFieldADO;
        using PresentationField = IntFieldADO;
        using ApplicationField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        Tuple_Table() : HistoryTableADO(Tuple_Number) {}
        bool CreateFields() override;

        TupleIndexField* m_TupleIndex = nullptr;
        SrcHostIndexField* m_SrcHostIndex = nullptr;
        DstHostIndexField* m_DstHostIndex = nullptr;
        InterfaceIndexField* m_InterfaceIndex = nullptr;
        DataLinkField* m_DataLink = nullptr;
        NetworkField* m_Network = nullptr;
        TransportField* m_Transport = nullptr;
        SessionField* m_Session = nullptr;
        PresentationField* m_Presentation = nullptr;
        ApplicationField* m_Application = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class Interface_Table : public HistoryTableADO {
    public:
        using InterfaceIndexField = IntFieldADO;
        using InterfaceNumberField = ShortFieldADO;
        using InterfacePhysAddrField = TextFieldADO;
        using InterfaceNameField = TextFieldADO;
        using InterfaceDescField = TextFieldADO;
        using InterfaceIpAddrField = TextFieldADO;
        using InterfaceMediumField = IntFieldADO;
        using InterfaceMTUField = IntFieldADO;
        using InterfaceSpeedField = IntFieldADO;
        using HostIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        Interface_Table() : HistoryTableADO(Interface_Number) {}
        bool CreateFields() override;

        InterfaceIndexField* m_InterfaceIndex = nullptr;
        InterfaceNumberField* m_InterfaceNumber = nullptr;
        InterfacePhysAddrField* m_InterfacePhysAddr = nullptr;
        InterfaceNameField* m_InterfaceName = nullptr;
        InterfaceDescField* m_InterfaceDesc = nullptr;
        InterfaceIpAddrField* m_InterfaceIpAddr = nullptr;
        InterfaceMediumField* m_InterfaceMedium = nullptr;
        InterfaceMTUField* m_InterfaceMTU = nullptr;
        InterfaceSpeedField* m_InterfaceSpeed = nullptr;
        HostIndexField* m_HostIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class Host_Table : public HistoryTableADO {
    public:
        using HostIndexField = IntFieldADO;
        using MacIndexField = IntFieldADO;
        using IpIndexField = IntFieldADO;
        using IpxIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        Host_Table() : HistoryTableADO(Host_Number) {}
        bool CreateFields() override;

        HostIndexField* m_HostIndex = nullptr;
        MacIndexField* m_MacIndex = nullptr;
        IpIndexField* m_IpIndex = nullptr;
        IpxIndexField* m_IpxIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class MAC_Table : public HistoryTableADO {
    public:
        using MacIndexField = IntFieldADO;
        using MacAddressField = TextFieldADO;
        using MacTypeField = ByteFieldADO;
        using MacNameIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        MAC_Table() : HistoryTableADO(MAC_Number) {}
        bool CreateFields() override;

        MacIndexField* m_MacIndex = nullptr;
        MacAddressField* m_MacAddress = nullptr;
        MacTypeField* m_MacType = nullptr;
        MacNameIndexField* m_MacNameIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class IP_Table : public HistoryTableADO {
    public:
        using IpIndexField = IntFieldADO;
        using IpAddressField = TextFieldADO;
        using IpTypeField = ByteFieldADO;
        using IpNameIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        IP_Table() : HistoryTableADO(IP_Number) {}
        bool CreateFields() override;

        IpIndexField* m_IpIndex = nullptr;
        IpAddressField* m_IpAddress = nullptr;
        IpTypeField* m_IpType = nullptr;
        IpNameIndexField* m_IpNameIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class IPX_Table : public HistoryTableADO {
    public:
        using IpxIndexField = IntFieldADO;
        using IpxAddressField = TextFieldADO;
        using IpxTypeField = ByteFieldADO;
        using IpxNameIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        IPX_Table() : HistoryTableADO(IPX_Number) {}
        bool CreateFields() override;

        IpxIndexField* m_IpxIndex = nullptr;
        IpxAddressField* m_IpxAddress = nullptr;
        IpxTypeField* m_IpxType = nullptr;
        IpxNameIndexField* m_IpxNameIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class MAC_Name_Table : public HistoryTableADO {
    public:
        using MacNameIndexField = IntFieldADO;
        using MacNameField = TextFieldADO;
        using MacIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        MAC_Name_Table() : HistoryTableADO(MAC_Name_Number) {}
        bool CreateFields() override;

        MacNameIndexField* m_MacNameIndex = nullptr;
        MacNameField* m_MacName = nullptr;
        MacIndexField* m_MacIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class IP_Name_Table : public HistoryTableADO {
    public:
        using IpNameIndexField = IntFieldADO;
        using IpNameField = TextFieldADO;
        using IpIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        IP_Name_Table() : HistoryTableADO(IP_Name_Number) {}
        bool CreateFields() override;

        IpNameIndexField* m_IpNameIndex = nullptr;
        IpNameField* m_IpName = nullptr;
        IpIndexField* m_IpIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class IPX_Name_Table : public HistoryTableADO {
    public:
        using IpxNameIndexField = IntFieldADO;
        using IpxNameField = TextFieldADO;
        using IpxIndexField = IntFieldADO;
        using TimeIndexField = IntFieldADO;

        IPX_Name_Table() : HistoryTableADO(IPX_Name_Number) {}
        bool CreateFields() override;

        IpxNameIndexField* m_IpxNameIndex = nullptr;
        IpxNameField* m_IpxName = nullptr;
        IpxIndexField* m_IpxIndex = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class Event_Table : public HistoryTableADO {
    public:
        using EventIndexField = IntFieldADO;
        using EventTypeField = ShortFieldADO;
        using EventMessageField = TextFieldADO;
        using TimeIndexField = IntFieldADO;

        Event_Table() : HistoryTableADO(Event_Number) {}
        bool CreateFields() override;

        EventIndexField* m_EventIndex = nullptr;
        EventTypeField* m_EventType = nullptr;
        EventMessageField* m_EventMessage = nullptr;
        TimeIndexField* m_TimeIndex = nullptr;
    };

    class VorquelSchema_Table : public HistoryTableADO {
    public:
        using MajorVersionField = IntFieldADO;
        using MinorVersionField = IntFieldADO;
        using VersionModifierField = IntFieldADO;

        VorquelSchema_Table() : HistoryTableADO(VorquelSchema_Number) {}
        bool CreateFields() override;

        MajorVersionField* m_MajorVersion = nullptr;
        MinorVersionField* m_MinorVersion = nullptr;
        VersionModifierField* m_VersionModifier = nullptr;
    };

    // Opens the existing file (never creating one) and checks that its tables have the declared
    // columns in order with the key on the first; throws a DatabaseError naming the file and the
    // first difference otherwise. Afterwards every column is cleared and no table is open.
    explicit HistoryDB(std::string path);
    ~HistoryDB() override;

    void Init(int count) override;

    TimeLine_Table m_TimeLine;
    Data_Table m_Data;
    Tuple_Table m_Tuple;
    Interface_Table m_Interface;
    Host_Table m_Host;
    MAC_Table m_MAC;
    IP_Table m_IP;
    IPX_Table m_IPX;
    MAC_Name_Table m_MAC_Name;
    IP_Name_Table m_IP_Name;
    IPX_Name_Table m_IPX_Name;
    Event_Table m_Event;
    VorquelSchema_Table m_VorquelSchema;

private:
    void CheckLayout();
};

} // namespace vq::history
