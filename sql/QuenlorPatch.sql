-- Patch 1.2.1 of the Quenlor database, Microsoft SQL Server: failed sign-in
-- counting and a log of sign-in attempts. Every statement checks first, so
-- the patch runs again and again on an up-to-date database.
IF OBJECT_ID(N'dbo.schema_version', N'U') IS NULL
    CREATE TABLE dbo.schema_version (
        version      VARCHAR(20)   NOT NULL,
        description  NVARCHAR(200) NOT NULL,
        applied_at   DATETIME      NOT NULL CONSTRAINT df_schema_version_applied DEFAULT GETDATE(),
        CONSTRAINT pk_schema_version PRIMARY KEY (version)
    );
GO
IF COL_LENGTH(N'dbo.accounts', N'failed_logins') IS NULL
    ALTER TABLE dbo.accounts ADD failed_logins INT NOT NULL
        CONSTRAINT df_accounts_failed_logins DEFAULT 0;
IF COL_LENGTH(N'dbo.accounts', N'locked_until') IS NULL
    ALTER TABLE dbo.accounts ADD locked_until DATETIME NULL;
GO
IF OBJECT_ID(N'dbo.login_attempts', N'U') IS NULL
    CREATE TABLE dbo.login_attempts (
        attempt_id     BIGINT IDENTITY(1,1) NOT NULL,
        login          NVARCHAR(64) NOT NULL,
        client_address VARCHAR(45)  NOT NULL,
        attempted_at   DATETIME     NOT NULL CONSTRAINT df_login_attempts_time DEFAULT GETDATE(),
        succeeded      SMALLINT     NOT NULL CONSTRAINT df_login_attempts_ok DEFAULT 0,
        CONSTRAINT pk_login_attempts PRIMARY KEY (attempt_id)
    );
IF NOT EXISTS (SELECT 1 FROM sys.indexes
               WHERE name = N'ix_login_attempts_login'
                 AND object_id = OBJECT_ID(N'dbo.login_attempts'))
    CREATE INDEX ix_login_attempts_login ON dbo.login_attempts (login, attempted_at);
GO
IF NOT EXISTS (SELECT 1 FROM dbo.settings WHERE setting_key = 'security.max_failed_logins')
    INSERT INTO dbo.settings (setting_key, setting_value, description)
    VALUES ('security.max_failed_logins', N'5', N'Failed sign-ins before an account is locked');
IF NOT EXISTS (SELECT 1 FROM dbo.settings WHERE setting_key = 'security.lock_minutes')
    INSERT INTO dbo.settings (setting_key, setting_value, description)
    VALUES ('security.lock_minutes', N'15', N'How long a locked account stays locked');
GO
IF NOT EXISTS (SELECT 1 FROM dbo.schema_version WHERE version = '1.2.1')
    INSERT INTO dbo.schema_version (version, description)
    VALUES ('1.2.1', N'Failed sign-in counting and sign-in attempts');
GO
