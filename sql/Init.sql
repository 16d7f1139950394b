-- Initial data of a new Quenlor database. Every batch is one plain INSERT
-- without a terminator, so the same file runs on every engine.
INSERT INTO schema_version (version, description) VALUES ('1.2.0', 'Initial schema')
GO
INSERT INTO roles (role_id, name, description) VALUES (1, 'administrator', 'Full control of the server and its accounts')
GO
INSERT INTO roles (role_id, name, description) VALUES (2, 'operator', 'Runs the server and reads the audit log')
GO
INSERT INTO roles (role_id, name, description) VALUES (3, 'user', 'Signs in and uses the services')
GO
INSERT INTO permissions (permission_id, name, description) VALUES (1, 'accounts.manage', 'Create, change and disable accounts')
GO
INSERT INTO permissions (permission_id, name, description) VALUES (2, 'roles.manage', 'Grant and revoke roles')
GO
INSERT INTO permissions (permission_id, name, description) VALUES (3, 'settings.manage', 'Change server settings')
GO
INSERT INTO permissions (permission_id, name, description) VALUES (4, 'audit.read', 'Read the audit log')
GO
INSERT INTO permissions (permission_id, name, description) VALUES (5, 'sessions.manage', 'List and end sessions')
GO
INSERT INTO permissions (permission_id, name, description) VALUES (6, 'service.use', 'Use the services of the server')
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (1, 1)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (1, 2)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (1, 3)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (1, 4)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (1, 5)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (1, 6)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (2, 4)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (2, 5)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (2, 6)
GO
INSERT INTO role_permissions (role_id, permission_id) VALUES (3, 6)
GO
-- The first administrator; the password (admin) must be changed at the
-- first sign-in.
INSERT INTO accounts (login, display_name, password_hash, must_change_password, is_active)
VALUES ('admin', 'Administrator',
        'sha256:8c6976e5b5410415bde908bd4dee15dfb167a9c873fc4bb8a81f6f2ab448a918', 1, 1)
GO
INSERT INTO account_roles (account_id, role_id)
SELECT account_id, 1 FROM accounts WHERE login = 'admin'
GO
INSERT INTO settings (setting_key, setting_value, description) VALUES ('server.tcp_port', '7010', 'TCP port the server listens on')
GO
INSERT INTO settings (setting_key, setting_value, description) VALUES ('server.max_connections', '100', 'Largest number of client connections')
GO
INSERT INTO settings (setting_key, setting_value, description) VALUES ('session.timeout_minutes', '30', 'Idle time after which a session ends')
GO
INSERT INTO settings (setting_key, setting_value, description) VALUES ('audit.retention_days', '365', 'Days the audit log is kept')
GO
INSERT INTO settings (setting_key, setting_value, description) VALUES ('locale', 'hu-HU', 'Language of the server messages')
GO
INSERT INTO audit_log (action, target, details) VALUES ('database.created', 'schema', 'Initial data loaded')
GO
