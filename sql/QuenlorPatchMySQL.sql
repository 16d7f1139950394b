-- Patch 1.2.1 of the Quenlor database, MySQL / MariaDB: failed sign-in
-- counting and a log of sign-in attempts. Every statement checks first, so
-- the patch runs again and again on an up-to-date database.
CREATE TABLE IF NOT EXISTS schema_version (
    version      VARCHAR(20)  NOT NULL,
    description  VARCHAR(200) NOT NULL,
    applied_at   DATETIME     NOT NULL DEFAULT CURRENT_TIMESTAMP,
    CONSTRAINT pk_schema_version PRIMARY KEY (version)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
GO
ALTER TABLE accounts ADD COLUMN IF NOT EXISTS failed_logins INT NOT NULL DEFAULT 0;
ALTER TABLE accounts ADD COLUMN IF NOT EXISTS locked_until DATETIME NULL;
GO
CREATE TABLE IF NOT EXISTS login_attempts (
    attempt_id     BIGINT      NOT NULL AUTO_INCREMENT,
    login          VARCHAR(64) NOT NULL,
    client_address VARCHAR(45) NOT NULL,
    attempted_at   DATETIME    NOT NULL DEFAULT CURRENT_TIMESTAMP,
    succeeded      SMALLINT    NOT NULL DEFAULT 0,
    CONSTRAINT pk_login_attempts PRIMARY KEY (attempt_id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
CREATE INDEX IF NOT EXISTS ix_login_attempts_login ON login_attempts (login, attempted_at);
GO
INSERT IGNORE INTO settings (setting_key, setting_value, description)
VALUES ('security.max_failed_logins', '5', 'Failed sign-ins before an account is locked');
INSERT IGNORE INTO settings (setting_key, setting_value, description)
VALUES ('security.lock_minutes', '15', 'How long a locked account stays locked');
GO
INSERT IGNORE INTO schema_version (version, description)
VALUES ('1.2.1', 'Failed sign-in counting and sign-in attempts');
GO
