#include "exchange_driver.h"

#include <stdio.h>

#include "guarded_buffers.h"

namespace {

// A read or write outside the buffers handed in ends the test program at once with the
// address, instead of waiting for a debugger.
LONG WINAPI ReportFault(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    fprintf(stderr, "fault 0x%08lX at %p (access to %p)\n", record->ExceptionCode,
            record->ExceptionAddress,
            record->NumberParameters > 1 ? (void*)record->ExceptionInformation[1] : nullptr);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

const LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = SetUnhandledExceptionFilter(ReportFault);

} // namespace

Bytes RawPacket(BYTE code, BYTE id, WORD declared, const Bytes& body)
{
    Bytes packet(4 + body.size());
    packet[0] = code;
    packet[1] = id;
    packet[2] = (BYTE)(declared >> 8);
    packet[3] = (BYTE)declared;
    std::copy(body.begin(), body.end(), packet.begin() + 4);
    return packet;
}

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

EAP_NAME_DIALOG TokenAnswer(const wchar_t* typed)
{
    EAP_NAME_DIALOG record = {};
    lstrcpynW(record.awszUserInput, typed, NAME_FIELD_CHARS);
    record.dwUIType = UI_TYPE_TOKEN;
    return record;
}

EAP_NAME_DIALOG CredentialsAnswer(const wchar_t* identity, const wchar_t* password)
{
    EAP_NAME_DIALOG record = {};
    lstrcpynW(record.awszIdentity, identity, NAME_FIELD_CHARS);
    lstrcpynW(record.awszPassword, password, NAME_FIELD_CHARS);
    record.dwUIType = UI_TYPE_CREDENTIALS;
    return record;
}

void ExchangeTest::SetUp()
{
    PluginTest::SetUp();
    table_ = EntryTable();
}

void ExchangeTest::TearDown()
{
    if (work_) {
        EXPECT_EQ(0u, table_.RasEapEnd(work_));
    }
    work_ = nullptr;
    PluginTest::TearDown();
}

void ExchangeTest::Begin(const wchar_t* identity, const wchar_t* password)
{
    input_ = PPP_EAP_INPUT();
    input_.dwSizeInBytes = sizeof(input_);
    input_.pwszIdentity = (WCHAR*)identity;
    input_.pwszPassword = (WCHAR*)password;
    ASSERT_EQ(0u, table_.RasEapBegin(&work_, &input_));
    ClearTraceLog();
}

MessageResult ExchangeTest::Message(const Bytes* packet, DWORD sendSize, PPP_EAP_INPUT* input,
                                    const PPP_EAP_OUTPUT* outInit)
{
    MessageResult result = {};
    GuardedBlock received = {};
    if (packet && !MakeGuardedCopy(packet->data(), packet->size(), &received)) {
        ADD_FAILURE() << "no memory for the packet";
        return result;
    }
    SendBuffer send;
    ResetSendBuffer(&send, sendSize);
    if (outInit) {
        result.out = *outInit;
    } else {
        result.out.dwSizeInBytes = sizeof(result.out);
    }
    result.status = table_.RasEapMakeMessage(work_, (PPP_EAP_PACKET*)received.bytes,
                                             (PPP_EAP_PACKET*)send.storage.data(), sendSize,
                                             &result.out, input ? input : &input_);
    FreeGuardedCopy(&received);
    result.sent.assign(send.storage.begin(), send.storage.begin() + sendSize);
    result.guardIntact = SendGuardIntact(send);
    return result;
}

MessageResult ExchangeTest::AfterDialog(const EAP_NAME_DIALOG* record, DWORD sendSize,
                                        DWORD recordSize)
{
    // The host hands the data in a block of the plug-in's kind, placed against a no-access page.
    DWORD size = record ? (recordSize ? recordSize : (DWORD)sizeof(*record)) : 0;
    GuardedBlock data = {};
    if (record && !MakeGuardedCopy((const BYTE*)record, size, &data)) {
        ADD_FAILURE() << "no memory for the dialog data";
        return MessageResult();
    }
    PPP_EAP_INPUT input = input_;
    input.fDataReceivedFromInteractiveUI = TRUE;
    input.pDataFromInteractiveUI = data.bytes;
    input.dwSizeOfDataFromInteractiveUI = size;
    MessageResult result = Message(nullptr, sendSize, &input);
    FreeGuardedCopy(&data);
    return result;
}

void ExchangeTest::ReturnBlocks(const PPP_EAP_OUTPUT& out)
{
    FreeMemoryFn freeMemory = (FreeMemoryFn)Export("RasEapFreeMemory");
    freeMemory(out.pUserData);
    freeMemory(out.pUIContextData);
}
