#pragma once

#include "protocol/operationrequest.h"

// The server's reply to an accepting answer: the session finishes the confirmation as accepted
// when the exchange had no error.
class AcceptTokenOperation : public OperationRequest
{
public:
    AcceptTokenOperation(QString address, HttpResult::ErrorCode code);

    void DoOperation(AccountsListModel *model) override;
};
