#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

class CEnDecryption;

namespace velmora::data {

// A private, decoded copy of a deployment's data folder. The decoder writes
// its working files beside the scrambled ones; doing that in a copy leaves
// the deployment untouched, also while the program runs from it. While the
// object lives, Paths point into the copy, so every reader loads from it.
class DeploymentCopy
{
public:
    // `deployment` holds dat/. velmora::Error when dat/ is missing or a file
    // cannot be copied.
    explicit DeploymentCopy(const QString& deployment);
    ~DeploymentCopy();
    DeploymentCopy(const DeploymentCopy&) = delete;
    DeploymentCopy& operator=(const DeploymentCopy&) = delete;

    // The deployment folder (absolute, trailing separator), where the saved
    // default district lives.
    const QString& deploymentDirectory() const { return m_deployment; }
    // The copy's data folder, trailing separator.
    QString dataDirectory() const;

    // Deletes the working files once the tables are in memory; the plain INI
    // files stay for readers that look them up later.
    void deleteWorkFiles();

private:
    QString m_deployment;
    QTemporaryDir m_dir;
    std::unique_ptr<CEnDecryption> m_decoder;
};

} // namespace velmora::data
