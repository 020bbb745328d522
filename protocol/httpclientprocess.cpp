#include "protocol/httpclientprocess.h"

#include "protocol/httpclient.h"
#include "protocol/request.h"

#include <QDebug>
#include <QThread>

HttpClientProcess::HttpClientProcess(QObject *parent)
    : QObject(parent)
    , m_client(new HttpClient(this))
{
    connect(this, &HttpClientProcess::sendRequest, m_client, &HttpClient::onSendRequest);
}

void HttpClientProcess::startClient()
{
    qDebug() << "startClient";
    thread()->start();
}

void HttpClientProcess::stop() {}
