#include "protocol/operationrequest.h"

OperationRequest::OperationRequest(OperationRequest::OperationType type, QString address,
                                   HttpResult::ErrorCode code)
    : m_address(std::move(address))
    , m_operationType(type)
    , m_errorCode(code)
{
}

OperationRequest::~OperationRequest() {}
